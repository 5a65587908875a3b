// Films: played to the end (picture in the window, sound on the film
// stream), clicked away only where allowed, a missing film ends at once and
// a file that is no film is a fatal error.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/game_runner.h"
#include "support/sound_files.h"

namespace vellumite::testing {
namespace {

// A 1 s red film with a tone, made by ffmpeg; false when it is missing.
bool write_film(GameDir& dir) {
  std::string command =
      "ffmpeg -loglevel error -y -f lavfi -i color=c=red:size=160x120:rate=10 -f lavfi -i "
      "sine=frequency=440 -t 1 -c:v mjpeg -c:a pcm_s16le '" +
      (dir.path() / "f.avi").string() + "' 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

TEST(Film, EndsByItselfByAClickWhereAllowedOrAtOnceWhenMissing) {
  struct Case {
    const char* what;
    std::string command;
    std::string input;
    uint32_t ended_at;  // when the next command ran
  } cases[] = {
      {"played to the end", "avi \"f.avi\",0", "", 1000},
      {"a click does not end it without leave", "avi \"f.avi\",0", "@300 click 10 10\n", 1000},
      {"a click ends it where allowed", "avi \"f.avi\",1", "@300 click 10 10\n", 300},
      {"a missing film ends at once", "avi \"none.avi\",1", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameDir dir;
    if (!write_film(dir)) GTEST_SKIP() << "ffmpeg is not installed";
    dir.write_bytes("b.wav", wave_file(22050, 1, 16, 100));
    dir.write_text("0.txt",
                   "*define\ngame\n*start\n" + c.command + "\nwave \"b.wav\"\nwait 200\nend\n");
    RunResult r = run_game(dir, {c.input});
    EXPECT_EQ(r.exit_code, 0);
    std::vector<std::string> audio = r.events("audio");
    std::vector<uint32_t> t = r.times("audio");
    ASSERT_FALSE(audio.empty());
    EXPECT_EQ(audio.back(), "wave start \"b.wav\" loop=0");
    EXPECT_NEAR(t.back(), c.ended_at, 25);
  }
}

TEST(Film, ThePictureFillsTheWindowAndTheGameComesBackAfter) {
  struct Case {
    const char* after;
    int red, green;  // at the centre of the window at exit
  } cases[] = {{"end\n", 255, 0}, {"wait 100\nend\n", 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.after);
    GameDir dir;
    if (!write_film(dir)) GTEST_SKIP() << "ffmpeg is not installed";
    dir.write_text("0.txt", std::string("*define\ngame\n*start\navi \"f.avi\",0\n") + c.after);
    RunResult r = run_game(dir);
    const size_t centre = (240 * 640 + 320) * 3;
    EXPECT_NEAR(r.pixels[centre + 2], c.red, 40);
    EXPECT_NEAR(r.pixels[centre + 1], c.green, 40);
  }
}

TEST(Film, AFileThatIsNoFilmIsFatal) {
  GameDir dir;
  dir.write_bytes("x.avi", std::string(5000, 'x'));
  dir.write_text("0.txt", "*define\ngame\n*start\navi \"x.avi\",0\nend\n");
  RunResult r = run_game(dir);
  EXPECT_EQ(only_error(r).substr(0, 12), "AVI Error 1|");
}

}  // namespace
}  // namespace vellumite::testing
