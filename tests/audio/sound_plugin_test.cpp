// Sound-press plug-ins: at most 50 registrations, and a packed file whose
// library cannot be loaded plays nothing.
#include <gtest/gtest.h>

#include <string>

#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

std::string registrations(int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += "soundpressplgin \"p" + std::to_string(i) + ".dll|t\"\n";
  return out;
}

TEST(SoundPlugin, FiftyRegisterTheFiftyFirstIsFatal) {
  RunResult fifty = run_scenario("*define\n" + registrations(50) + "game\n*start\nend\n");
  EXPECT_EQ(fifty.exit_code, 0);
  RunResult more = run_scenario("*define\n" + registrations(51) + "game\n*start\nend\n");
  EXPECT_EQ(only_error(more), "エラー|Sound press plug-in設定が多すぎます。");
}

TEST(SoundPlugin, PackedFilesWithoutALoadableLibraryPlayNothing) {
  GameDir dir;
  dir.write_bytes("song.PCK", "packed");
  dir.write_bytes("voice.pck", "packed");
  dir.write_text("0.txt",
                 "*define\nsoundpressplgin \"Pack.DLL|PCK\"\ngame\n*start\n"
                 "play \"song.PCK\"\nwave \"voice.pck\"\nwave \"other.xyz\"\nwait 100\nend\n");
  RunResult r = run_game(dir);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_TRUE(r.events("audio").empty());
}

}  // namespace
}  // namespace vellumite::testing
