// The timed waits and the script timer, measured on the virtual clock: what
// ends a wait, how long it lasts, and that pictures keep animating.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "graphics/bmp.h"
#include "graphics/picture.h"
#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

using Strings = std::vector<std::string>;

RunResult run(const std::string& body, const std::string& input = "",
              uint32_t timeout_ms = 600000) {
  return run_scenario("*define\ngame\n*start\n" + body + "end\n", RunOptions{input, timeout_ms});
}

TEST(TimedWait, DelayEndsAtAClickWaitDoesNot) {
  // A click at 500 falls into `wait 1000`, which runs on; the delay after it
  // lasts its full second.
  RunResult r = run("resettimer\nwait 1000\ngettimer %0\nresettimer\ndelay 1000\ngettimer %1\n",
                    "@500 click 5 5\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_GE(r.num(0), 1000);
  EXPECT_LT(r.num(0), 1010);
  EXPECT_GE(r.num(1), 1000);
  EXPECT_LT(r.num(1), 1010);
  EXPECT_EQ(r.events("wait"), (Strings{"delay"}));

  // A click at 1500 ends the delay there. A bare click is left for the delay
  // (the first wait the player may end), which then ends at once.
  r = run("wait 1000\ndelay 1000\ngettimer %0\n", "@1500 click 5 5\n");
  EXPECT_GE(r.num(0), 1500);
  EXPECT_LT(r.num(0), 1510);
  r = run("wait 1000\ndelay 1000\ngettimer %0\n", "click 5 5\n");
  EXPECT_GE(r.num(0), 1000);
  EXPECT_LT(r.num(0), 1010);

  // A click made before the delay began does not end it.
  r = run("wait 100\ndelay 300\ngettimer %0\n", "@50 click 5 5\n");
  EXPECT_GE(r.num(0), 400);

  // Zero and negative times do not wait.
  r = run("wait 0\nwait -1\ndelay -5\ngettimer %0\n", "", 5000);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_LT(r.num(0), 10);
}

TEST(TimedWait, TimerCountsFromResettimer) {
  // Before any resettimer the timer is the raw clock.
  RunResult r = run("wait 700\ngettimer %0\n");
  EXPECT_GE(r.num(0), 700);
  EXPECT_LT(r.num(0), 710);

  r =
      run("wait 200\nresettimer\nwaittimer 500\ngettimer %0\nwait 100\ngettimer %1\n"
          "waittimer 300\ngettimer %2\n");
  EXPECT_GE(r.num(0), 500);
  EXPECT_LT(r.num(0), 505);
  EXPECT_GE(r.num(1), 600);
  EXPECT_LT(r.num(1), 610);
  // The target lay behind the clock already: no wait.
  EXPECT_LT(r.num(2) - r.num(1), 3);

  // Clicks do not end waittimer.
  r = run("resettimer\nwaittimer 800\ngettimer %0\n", "@100 click 1 1\n");
  EXPECT_GE(r.num(0), 800);

  r = run("gettimer $0\n");
  EXPECT_EQ(r.exit_code, 2);
  const Strings boxes = r.boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].substr(0, boxes[0].find('\n')), "構文エラー|gettimerの引数は数字変数です。");
}

TEST(TimedWait, SpritesAnimateDuringEveryWait) {
  // a.bmp: two 20x20 cells, red then green, each shown for 1000 ms.
  GameDir dir;
  Picture p;
  create_blank(p, 40, 20, 24);
  fill_picture(p, 0, 0, 20, 20, 0x0000FF);
  fill_picture(p, 20, 0, 40, 20, 0x00FF00);
  dir.write_bytes("a.bmp", encode_bmp(p.surface));
  auto green_after = [&](const std::string& wait, const std::string& input) {
    dir.write_text("0.txt",
                   "*define\ngame\n*start\nresettimer\n"
                   "lsp 0,\":c/2,1000,0;a.bmp\",300,300\nprint 1\n" +
                       wait + "end\n");
    RunResult r = run_game(dir, RunOptions{input, 600000});
    const uint8_t* px = r.pixels.data() + static_cast<size_t>(479 - 305) * 1920 + 305 * 3;
    return std::array<int, 3>{px[0], px[1], px[2]} == std::array<int, 3>{0, 255, 0};
  };
  EXPECT_FALSE(green_after("", ""));
  EXPECT_TRUE(green_after("wait 1500\n", ""));
  EXPECT_TRUE(green_after("delay 1500\n", ""));
  EXPECT_TRUE(green_after("waittimer 1500\n", ""));
  EXPECT_FALSE(green_after("delay 1500\n", "click 1 1\n"));  // ended before the change
}

}  // namespace
}  // namespace vellumite::testing
