// Films: the picture fills the window while one plays. (How films end, and
// a file that is no film, are recorded games.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

// The 1 s red film with a tone that the recorded film games play.
void write_film(const GameDir& dir) {
  dir.write_bytes("f.avi", read_file(std::filesystem::path(VELLUMITE_SOURCE_DIR) / "tests" /
                                     "games" / "film_how_it_ends_1" / "f.avi"));
}

TEST(Film, ThePictureFillsTheWindowAndTheGameComesBackAfter) {
  struct Case {
    const char* after;
    int red, green;  // at the centre of the window at exit
  } cases[] = {{"end\n", 255, 0}, {"wait 100\nend\n", 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.after);
    GameDir dir;
    write_film(dir);
    dir.write_text("0.txt", std::string("*define\ngame\n*start\navi \"f.avi\",0\n") + c.after);
    RunResult r = run_game(dir);
    const size_t centre = (240 * 640 + 320) * 3;
    EXPECT_NEAR(r.pixels[centre + 2], c.red, 40);
    EXPECT_NEAR(r.pixels[centre + 1], c.green, 40);
  }
}

}  // namespace
}  // namespace vellumite::testing
