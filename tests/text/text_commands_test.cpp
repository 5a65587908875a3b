// The text window commands, each through what a player or an author sees:
// where the next wait's cursor stands, how long typing takes, the window's
// pixels, the effects and the errors.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/bmp.h"
#include "graphics/surface.h"
#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

using Strings = std::vector<std::string>;

std::string game(const std::string& body, const std::string& define = "") {
  return "*define\n" + define + "game\n*start\n" + body;
}

std::string at(int column, int row, const char* kind = "click") {
  return std::string(kind) + " " + std::to_string(8 + 26 * column) + " " +
         std::to_string(16 + 28 * row);
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

RunResult run(const std::string& scenario, const std::string& input = "") {
  return run_scenario(scenario, RunOptions{input, 600000});
}

std::array<int, 3> pixel(const RunResult& r, int x, int y) {
  size_t o = (static_cast<size_t>(479 - y) * 640 + static_cast<size_t>(x)) * 3;
  return {r.pixels[o], r.pixels[o + 1], r.pixels[o + 2]};
}

const std::array<int, 3> kWhite{255, 255, 255};
const std::array<int, 3> kGrey{153, 153, 153};  // the default window over white

TEST(TextCmd, SetwindowGeometryAndItsErrors) {
  const std::string window = "setwindow 100,200,10,3,20,20,2,4,0,1,1,#6060ff,90,190,400,300\n";
  RunResult r = run(game(window + "あい@\n" + "textclear\n" + repeat("あ", 10) + "い@\nend\n"),
                    "click 1 1\nclick 1 1\n");
  EXPECT_EQ(r.exit_code, 0);
  // Pitch 22 x 24; ten columns.
  EXPECT_EQ(r.events("wait"), (Strings{"click 144 200", "click 122 224"}));
  // The window comes back through the window effect over its rectangle
  // widened by 2; textclear redraws it widened to the right only.
  EXPECT_EQ(r.events("effect"), (Strings{"1 0 90,190,402,302", "1 0 90,190,402,300"}));

  // Far-off numbers only move cells out of the window.
  EXPECT_EQ(only_error(run(
                game("setwindow 8,16,23,16,26,26,2147483647,2147483647,0,1,1,#999999,-2147483648,"
                     "-2147483648,2147483647,2147483647\nあいう\nend\n"))),
            "エラー！|文字がウィンドウからはみ出ました");

  const std::string wrong = "エラー|setwindowの縦横文字数指定が間違っています。";
  EXPECT_EQ(only_error(run(game("setwindow 8,16,-1,16,26,26,0,2,20,1,1,#999999,0,0,639,479\n"))),
            wrong);
  EXPECT_EQ(only_error(run(game("setwindow 8,16,23,-1,26,26,0,2,20,1,1,#999999,0,0,639,479\n"))),
            wrong);
}

std::string window_bmp() {
  Surface s;
  create_blank(s, 100, 60, 24);
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 100; ++x) s.row(y)[x * 3 + 1] = 200;
  }
  return encode_bmp(s);
}

TEST(TextCmd, SetwindowWithAPictureTakesItsRectangleFromThePicture) {
  const std::string window = "setwindow 210,110,5,1,26,26,0,2,0,1,1,\":c;win.bmp\",200,100\n";
  GameDir dir;
  dir.write_bytes("win.bmp", window_bmp());
  dir.write_text("0.txt", game(window + "texton\nend\n"));
  RunResult r = run_game(dir);
  ASSERT_EQ(r.exit_code, 0);
  const std::array<int, 3> green{0, 200, 0}, black{0, 0, 0};
  EXPECT_EQ(pixel(r, 200, 100), green);
  EXPECT_EQ(pixel(r, 299, 159), green);
  EXPECT_EQ(pixel(r, 300, 130), black);
  EXPECT_EQ(pixel(r, 250, 160), black);
  EXPECT_EQ(pixel(r, 199, 130), black);
  EXPECT_EQ(pixel(r, 250, 99), black);

  // The third column still fits inside the right edge at 299; a fourth does not.
  GameDir fits;
  fits.write_bytes("win.bmp", window_bmp());
  fits.write_text("0.txt", game(window + "locate 2,0\nあ/\nend\n"));
  EXPECT_EQ(run_game(fits).exit_code, 0);
  GameDir beyond;
  beyond.write_bytes("win.bmp", window_bmp());
  beyond.write_text("0.txt", game(window + "locate 3,0\nあ/\nend\n"));
  EXPECT_EQ(only_error(run_game(beyond)), "エラー！|文字がウィンドウからはみ出ました");
}

TEST(TextCmd, TextspeedAndTheMenuSpeed) {
  RunResult r = run(game("textspeed 50\nあいう@\ntextspeed -1\nあいう@\nend\n"),
                    "@0 menu 40014\nclick 1 1\nclick 1 1\n");
  EXPECT_EQ(r.exit_code, 0);
  std::vector<uint32_t> waits = r.times("wait"), texts = r.times("text");
  ASSERT_EQ(waits.size(), 2u);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NEAR(static_cast<double>(waits[0] - texts[0]), 150, 8);
  // -1: the 文字速度 menu's choice, here 低速 (40 ms by default).
  EXPECT_NEAR(static_cast<double>(waits[1] - texts[1]), 120, 8);
}

TEST(TextCmd, BrLocateAndPuttext) {
  RunResult r = run(game("あ/\nbr\nい@\n"  // a new line from column 1
                         "textclear\nlocate 4,2\nい@\n"
                         "textclear\nmov $0,\"うえ@\"\nputtext $0\n"
                         "puttext \"お@\"\n"
                         "end\n"),
                    repeat("click 1 1\n", 4));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.events("wait"), (Strings{at(1, 1), at(5, 2), at(2, 0), at(1, 1)}));
}

TEST(TextCmd, TextonTextoffAndTheEraseFlag) {
  // texton shows the (empty) window; textoff hides it.
  EXPECT_EQ(pixel(run(game("bg white,1\ntexton\nend\n")), 300, 300), kGrey);
  EXPECT_EQ(pixel(run(game("bg white,1\ntexton\ntextoff\nend\n")), 300, 300), kWhite);
  // textoff hides even with the erase flag off; a background change then does not.
  EXPECT_EQ(pixel(run(game("bg white,1\nerasetextwindow 0\ntexton\ntextoff\nend\n")), 300, 300),
            kWhite);
  EXPECT_EQ(pixel(run(game("bg white,1\nerasetextwindow 0\ntexton\nbg white,1\nend\n")), 300, 300),
            kGrey);
  EXPECT_EQ(pixel(run(game("bg white,1\ntexton\nbg white,1\nend\n")), 300, 300), kWhite);

  // texton ends a started line.
  RunResult r = run(game("あ/\ntexton\nい@\nend\n"), "click 1 1\n");
  EXPECT_EQ(r.events("wait"), (Strings{at(1, 1)}));
}

TEST(TextCmd, TextclearStartsAnEmptyPage) {
  RunResult r =
      run(game("bg white,1\n#ff0000あいう@\ntextclear\nえ@\nend\n"), "click 1 1\nclick 1 1\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.events("wait"), (Strings{at(3, 0), at(1, 0)}));
  // The red text of the first page is gone; only the new character is drawn.
  int red = 0;
  for (int y = 16; y < 42; ++y) {
    for (int x = 35; x < 90; ++x) {
      std::array<int, 3> p = pixel(r, x, y);
      if (p != kGrey) ++red;
    }
  }
  EXPECT_EQ(red, 0);
}

TEST(TextCmd, TextmodeHidesTheWindowAndComesBack) {
  RunResult hidden = run(game("bg white,1\nあ\ntextmode 0\nend\n"));
  EXPECT_EQ(pixel(hidden, 300, 300), kWhite);
  RunResult back = run(game("bg white,1\nあ\ntextmode 0\ntextmode 1\nい@\nend\n"), "click 1 1\n");
  EXPECT_EQ(back.exit_code, 0);
  EXPECT_EQ(back.events("wait"), (Strings{at(1, 1)}));
  EXPECT_EQ(pixel(back, 300, 300), kGrey);
}

TEST(TextCmd, ClickAndClickpos) {
  RunResult r =
      run(game("click\nclickpos %1,%2\nend\n"), "click 5 6\nrclick 9 9\n+100 click 123 45\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.events("wait"), (Strings{"click 0 0", "click 0 0"}));
  // The right click did not end the wait; the left click's place is stored.
  EXPECT_EQ(r.num(1), 123);
  EXPECT_EQ(r.num(2), 45);

  EXPECT_EQ(only_error(run(game("clickpos 1,%2\n"))),
            "構文エラー|clickposの第一引数は数字変数です。");
  EXPECT_EQ(only_error(run(game("clickpos %1,$2\n"))),
            "構文エラー|clickposの第ニ引数は数字変数です。");
}

TEST(TextCmd, ResetPutsTheWindowBackToItsDefaults) {
  RunResult r =
      run("*define\ngame\n*start\n"
          "if %200==1 goto *second\n"
          "mov %200,1\n"
          "setwindow 100,200,10,3,20,20,2,4,0,1,1,#6060ff,90,190,400,300\n"
          "textspeed 500\n"
          "textmode 0\n"
          "reset\n"
          "*second\n"
          "あい@\n"
          "end\n",
          "click 1 1\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.events("wait"), (Strings{at(2, 0)}));
  std::vector<uint32_t> waits = r.times("wait"), texts = r.times("text");
  ASSERT_EQ(waits.size(), 1u);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NEAR(static_cast<double>(waits[0] - texts[0]), 40, 5);
}

}  // namespace
}  // namespace vellumite::testing
