// The click wait: what ends it (clicks, keys, autoclick, auto mode, skip
// mode), what does not (clicks made before it, input under autoclick), and
// the wait cursor it shows.
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

std::vector<uint32_t> wait_times(const RunResult& r) {
  std::vector<uint32_t> out;
  std::istringstream in(r.trace);
  std::string line;
  while (std::getline(in, line)) {
    size_t space = line.find(' ');
    if (space != std::string::npos && line.compare(space + 1, 5, "wait ") == 0) {
      out.push_back(static_cast<uint32_t>(std::stoul(line.substr(0, space))));
    }
  }
  return out;
}

RunResult run(const std::string& scenario, const std::string& input = "",
              uint32_t timeout_ms = 600000) {
  return run_scenario(scenario, RunOptions{input, timeout_ms});
}

TEST(ClickWait, ClicksAndKeysEndItButEarlierInputDoesNot) {
  RunResult r = run(game("あ@い@う@\nend\n"), "click 1 1\nkey space\nkey enter\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.events("wait"), (Strings{at(1, 0), at(2, 0), at(3, 0)}));

  // A click and a key made before the wait began are dropped by it: the
  // first wait lasts until the click at 500.
  RunResult early =
      run(game("textspeed 0\nあ@い@\nend\n"), "@0 click 1 1\n@0 key space\n@500 click 2 2\n");
  EXPECT_EQ(early.events("wait"), (Strings{at(1, 0), at(2, 0)}));
  std::vector<uint32_t> t = wait_times(early);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_LT(t[0], 5u);
  EXPECT_GE(t[1], 500u);
  EXPECT_EQ(early.exit_code, 3);
}

TEST(ClickWait, AutoclickEndsEveryWaitByTimeAndIgnoresInput) {
  RunResult r = run(game("autoclick 300\n"
                         "あ@い\\\n"
                         "autoclick 0\n"
                         "う@\n"
                         "end\n"),
                    "click 1 1\nrclick 2 2\n");
  EXPECT_EQ(r.events("wait"), (Strings{at(1, 0), at(2, 0, "page"), at(1, 0)}));
  std::vector<uint32_t> t = wait_times(r);
  ASSERT_EQ(t.size(), 3u);
  // Each wait lasts the autoclick time, then one character is typed.
  EXPECT_NEAR(static_cast<double>(t[1] - t[0]), 320, 8);
  EXPECT_NEAR(static_cast<double>(t[2] - t[1]), 320, 8);
  // After `autoclick 0` the third wait needs the player, and the input is used up.
  EXPECT_EQ(r.exit_code, 3);
}

TEST(ClickWait, AutoModeWaitsItsTimeAndAClickOnlyEndsAutoMode) {
  const std::string scenario = game("あ@い@う@\nend\n", "automode_time 300\n");
  RunResult automatic = run(scenario, "@0 menu 40019\n");
  EXPECT_EQ(automatic.exit_code, 0);
  std::vector<uint32_t> t = wait_times(automatic);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_NEAR(static_cast<double>(t[1] - t[0]), 320, 8);
  EXPECT_NEAR(static_cast<double>(t[2] - t[1]), 320, 8);

  // The click at 400 ends auto mode during the second wait without ending
  // the wait; the click at 2000 does.
  RunResult stopped = run(scenario, "@0 menu 40019\n@400 click 1 1\n@2000 click 2 2\n");
  t = wait_times(stopped);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_LT(t[1], 400u);
  EXPECT_GE(t[2], 2000u);
  EXPECT_LT(t[2], 2040u);
  EXPECT_EQ(stopped.exit_code, 3);
}

TEST(ClickWait, SkipModeRunsThroughWaitsAndDelays) {
  RunResult r = run(game("あいう@えお\\か@\nend\n"), "@0 menu 40006\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.events("wait"), (Strings{at(3, 0), at(5, 0, "page"), at(1, 0)}));
  std::vector<uint32_t> t = wait_times(r);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_LT(t[2], 30u);
}

// A cursor picture of three 10x10 cells, red, green and blue, whose
// top-left pixel (the transparent colour) is black.
std::string cursor_bmp() {
  Surface s;
  create_blank(s, 30, 10, 24);
  for (int y = 0; y < 10; ++y) {
    uint8_t* row = s.row(y);
    for (int x = 0; x < 30; ++x) {
      const int cell = x / 10;
      row[x * 3 + 0] = cell == 2 ? 255 : 0;
      row[x * 3 + 1] = cell == 1 ? 255 : 0;
      row[x * 3 + 2] = cell == 0 ? 255 : 0;
    }
  }
  s.row(0)[0] = s.row(0)[1] = s.row(0)[2] = 0;
  return encode_bmp(s);
}

std::array<int, 3> pixel(const RunResult& r, int x, int y) {
  size_t o = (static_cast<size_t>(479 - y) * 640 + static_cast<size_t>(x)) * 3;
  return {r.pixels[o], r.pixels[o + 1], r.pixels[o + 2]};
}

TEST(ClickWait, CursorAnimatesAtTheNextCellAndIsRemovedAfterward) {
  const std::string scenario = game("bg white,1\nあ@\nend\n");
  const std::array<int, 3> red{0, 0, 255}, green{0, 255, 0}, blue{255, 0, 0}, grey{153, 153, 153};

  GameDir during;
  during.write_text("0.txt", scenario);
  during.write_bytes("cursor0.bmp", cursor_bmp());
  // The program is stopped by its time limit while it waits.
  RunResult r = run_game(during, RunOptions{"@5000 click 1 1\n", 900});
  ASSERT_EQ(r.exit_code, 124);
  const std::array<int, 3> shown = pixel(r, 34 + 5, 16 + 5);
  EXPECT_TRUE(shown == red || shown == green || shown == blue);
  EXPECT_EQ(pixel(r, 34 + 11, 16 + 5), grey) << "only one cell is drawn";
  EXPECT_EQ(pixel(r, 34 + 5, 16 + 11), grey);

  GameDir after;
  after.write_text("0.txt", scenario);
  after.write_bytes("cursor0.bmp", cursor_bmp());
  RunResult ended = run_game(after, RunOptions{"@600 click 1 1\n", 600000});
  ASSERT_EQ(ended.exit_code, 0);
  EXPECT_EQ(pixel(ended, 34 + 5, 16 + 5), grey);
}

}  // namespace
}  // namespace vellumite::testing
