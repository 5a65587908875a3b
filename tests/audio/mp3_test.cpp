// MP3 music: once and looped, the stop that lets the queued buffers play
// out, and files that are not MP3 at all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/game_runner.h"
#include "support/sound_files.h"

namespace vellumite::testing {
namespace {

// Makes a 1 s MP3 of a tone in `dir` with lame; false when lame is missing.
bool write_mp3(GameDir& dir, const std::string& name) {
  dir.write_bytes("tone.wav", wave_file(44100, 2, 16, 1000));
  std::string command = "lame --quiet -b 128 '" + (dir.path() / "tone.wav").string() + "' '" +
                        (dir.path() / name).string() + "' 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

// Whether the output sounds anywhere in [from, to) ms.
bool sounds(const std::vector<double>& level, uint32_t from, uint32_t to) {
  for (uint32_t ms = from; ms < to && ms / 10 < level.size(); ms += 10) {
    if (level[ms / 10] > 0.05) return true;
  }
  return false;
}

TEST(Mp3, OnceLoopedStoppedAndBroken) {
  struct Case {
    const char* what;
    std::string body;
    std::vector<std::string> audio;
    std::vector<std::pair<uint32_t, uint32_t>> loud, quiet;  // ms ranges
  } cases[] = {
      {"once",
       "mp3 \"m.mp3\"\nwait 2500\nend\n",
       {"mp3 start \"m.mp3\" loop=0"},
       {{100, 900}},
       {{1300, 2500}}},
      {"looped, the file read again",
       "mp3loop \"m.mp3\"\nwait 2500\nend\n",
       {"mp3 start \"m.mp3\" loop=1", "mp3 stop \"m.mp3\" loop=1"},
       {{100, 900}, {1300, 2400}},
       {}},
      {"a stop lets the queued buffers play out, then silence",
       "mp3loop \"m.mp3\"\nwait 500\nmp3 \"\"\nwave \"b.wav\"\nwait 1000\nend\n",
       {"mp3 start \"m.mp3\" loop=1", "mp3 stop \"m.mp3\" loop=1", "wave start \"b.wav\" loop=0"},
       {{100, 500}, {500, 560}},
       {{800, 1500}}},
      {"not an MP3: nothing plays, nothing hangs",
       "mp3loop \"bad.mp3\"\nwait 500\nend\n",
       {"mp3 start \"bad.mp3\" loop=1"},
       {},
       {{0, 500}}},
      {"a missing file starts nothing", "mp3 \"none.mp3\"\nend\n", {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameDir dir;
    if (!write_mp3(dir, "m.mp3")) GTEST_SKIP() << "lame is not installed";
    dir.write_bytes("bad.mp3", std::string(100000, 'x'));
    dir.write_bytes("b.wav", wave_file(22050, 1, 16, 10, 0.01));
    dir.write_text("0.txt", "*define\ngame\n*start\n" + c.body);
    const std::string out = (dir.path() / "out.wav").string();
    RunResult r = run_game(dir, {"", 600000, out});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.events("audio"), c.audio);
    std::vector<double> level = levels_per_10ms(out);
    for (auto [from, to] : c.loud) EXPECT_TRUE(sounds(level, from, to)) << from << "-" << to;
    for (auto [from, to] : c.quiet) EXPECT_FALSE(sounds(level, from, to)) << from << "-" << to;
    // The stop waits only for the four queued buffers (about 190 ms).
    std::vector<uint32_t> t = r.times("audio");
    if (c.audio.size() == 3) {
      EXPECT_LE(t[2] - t[1], 250U);
    }
  }
}

}  // namespace
}  // namespace vellumite::testing
