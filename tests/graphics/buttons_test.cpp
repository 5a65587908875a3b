// Picture buttons and text buttons as a scenario uses them: what lights up
// under the pointer, what the waits store, when the buttons go away, and the
// errors of the commands.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "graphics/bmp.h"
#include "graphics/picture.h"
#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

using Bgr = std::array<int, 3>;
using Strings = std::vector<std::string>;

const Bgr kWhite{255, 255, 255};
const Bgr kBlue{255, 0, 0};
const Bgr kGreen{0, 255, 0};
const Bgr kRed{0, 0, 255};
const Bgr kLink{64, 255, 255};  // the default link colour 255, 255, 64

uint32_t word(Bgr c) { return static_cast<uint32_t>(c[0] << 16 | c[1] << 8 | c[2]); }

Bgr px(const RunResult& r, int x, int y) {
  const uint8_t* p = r.pixels.data() + static_cast<size_t>(479 - y) * 1920 + x * 3;
  return {p[0], p[1], p[2]};
}

std::string box(const RunResult& r) {
  const Strings boxes = r.boxes();
  if (boxes.size() != 1) return "no single box";
  return boxes[0].substr(0, boxes[0].find('\n'));
}

// b.bmp, the buttons' looks: 100x20, blue on the left half, green on the
// right. a.bmp: a sprite of two 20x20 cells, red then green.
class Buttons : public ::testing::Test {
 protected:
  Buttons() {
    Picture p;
    create_blank(p, 100, 20, 24);
    fill_picture(p, 0, 0, 50, 20, word(kBlue));
    fill_picture(p, 50, 0, 100, 20, word(kGreen));
    dir_.write_bytes("b.bmp", encode_bmp(p.surface));
    create_blank(p, 40, 20, 24);
    fill_picture(p, 0, 0, 20, 20, word(kRed));
    fill_picture(p, 20, 0, 40, 20, word(kGreen));
    dir_.write_bytes("a.bmp", encode_bmp(p.surface));
  }
  RunResult run(const std::string& body, const std::string& input = "",
                uint32_t timeout_ms = 600000) {
    dir_.write_text("0.txt", "*define\ngame\n*start\nbg white,1\nbtndef \"b.bmp\"\n" + body);
    return run_game(dir_, RunOptions{input, timeout_ms});
  }
  GameDir dir_;
};

TEST_F(Buttons, ClickStoresTheIdAndAResultAboveZeroRemovesTheButtons) {
  // Outside first (0, the buttons stay), then inside at the bottom-right
  // corner (5, the buttons go), then inside again (0).
  RunResult r = run("btn 5,100,100,50,20,0,0\nbtnwait %0\nbtnwait %1\nbtnwait %2\nend\n",
                    "click 150 110\nclick 149 119\nclick 100 100\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(0), 0);
  EXPECT_EQ(r.num(1), 5);
  EXPECT_EQ(r.num(2), 0);
  EXPECT_EQ(r.events("wait"), (Strings{"button", "button", "button"}));
  EXPECT_EQ(r.events("button"), (Strings{"0", "5", "0"}));

  // btnwait2 keeps them; the id of a clicked button is stored as it is.
  r =
      run("btn 5,100,100,50,20,0,0\nbtn -3,300,100,10,10,0,0\nbtnwait2 %0\nbtnwait2 %1\n"
          "btnwait2 %2\nend\n",
          "click 120 110\nclick 120 110\nclick 305 105\n");
  EXPECT_EQ(r.num(0), 5);
  EXPECT_EQ(r.num(1), 5);
  EXPECT_EQ(r.num(2), -3);

  // btndef empties the table.
  r = run("btn 5,100,100,50,20,0,0\nbtndef \"\"\nbtnwait %0\nend\n", "click 120 110\n");
  EXPECT_EQ(r.num(0), 0);
}

TEST_F(Buttons, HighlightFollowsThePointerAndStaysAfterTheClick) {
  // The pointer rests in the button: its look from (0, 0) of b.bmp shows
  // there and nowhere else.
  RunResult r = run("btn 5,100,100,50,20,0,0\nbtnwait %0\nend\n", "move 120 110\n", 2000);
  EXPECT_EQ(r.exit_code, 3) << "the input is used up while the wait goes on";
  EXPECT_EQ(px(r, 100, 100), kBlue);
  EXPECT_EQ(px(r, 149, 119), kBlue);
  EXPECT_EQ(px(r, 99, 100), kWhite);
  EXPECT_EQ(px(r, 150, 100), kWhite);
  EXPECT_EQ(px(r, 100, 120), kWhite);

  // Into button 1, over to button 2 (its look from (50, 0): green), click:
  // button 1 is white again and button 2 keeps its highlight.
  r = run("btn 1,100,100,50,20,0,0\nbtn 2,300,100,50,20,50,0\nbtnwait %0\nend\n",
          "move 110 110\n+50 move 310 110\n+50 click 310 110\n");
  EXPECT_EQ(r.num(0), 2);
  EXPECT_EQ(px(r, 110, 110), kWhite);
  EXPECT_EQ(px(r, 310, 110), kGreen);
}

TEST_F(Buttons, OverlappingButtonsTheLaterOneWins) {
  RunResult r = run("btn 1,100,100,50,20,0,0\nbtn 2,120,100,50,20,50,0\nbtnwait %0\nend\n",
                    "click 130 110\n");
  EXPECT_EQ(r.num(0), 2);
  EXPECT_EQ(px(r, 130, 110), kGreen);
  EXPECT_EQ(px(r, 169, 110), kGreen);
  EXPECT_EQ(px(r, 110, 110), kWhite);  // the earlier one was never lit
}

TEST_F(Buttons, RightClickGivesMinusOneRemovesTheHighlightAndKeepsTheButtons) {
  RunResult r = run("btn 5,100,100,50,20,0,0\nbtnwait %0\nbtnwait %1\nend\n",
                    "move 120 110\n+50 rclick 120 110\nrclick 10 10\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(0), -1);
  EXPECT_EQ(r.num(1), -1);
  EXPECT_EQ(px(r, 120, 110), kWhite);
  EXPECT_EQ(r.events("button"), (Strings{"-1", "-1"}));
  r = run("btn 5,100,100,50,20,0,0\nbtnwait %0\nbtnwait %1\nend\n",
          "rclick 120 110\nclick 120 110\n");
  EXPECT_EQ(r.num(0), -1);
  EXPECT_EQ(r.num(1), 5);
}

TEST_F(Buttons, WaitEndsSkipModeAndKeepsAnimating) {
  // Skip mode chosen before the wait would swallow the click; the wait
  // turns it off first.
  RunResult r = run("wait 20\nbtn 5,100,100,50,20,0,0\nbtnwait %0\nend\n",
                    "@5 menu 40006\n@100 click 120 110\n", 5000);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(0), 5);

  // The sprite's second cell appears 1000 ms after loading, during the wait.
  const std::string sprite = "lsp 0,\":c/2,1000,0;a.bmp\",300,300\nprint 1\n";
  r = run(sprite + "end\n");
  EXPECT_EQ(px(r, 305, 305), kRed);
  r = run(sprite + "btnwait %0\nend\n", "@1500 click 5 5\n");
  EXPECT_EQ(px(r, 305, 305), kGreen);
  r = run(sprite + "tbtnwait %0\nend\n", "@1500 click 5 5\n");
  EXPECT_EQ(px(r, 305, 305), kGreen);
}

TEST_F(Buttons, TextButtonsUnderlineAndReturnTheirNumber) {
  // "<7あい>" at the window's origin: left 8, top 16, right 8 + 2 * 26; the
  // line height is 28.
  const std::string line = "textspeed 0\n<7あい>\n";
  RunResult r = run(line + "tbtnwait %0\nend\n", "move 59 43\n", 2000);
  EXPECT_EQ(r.exit_code, 3) << "the input is used up while the wait goes on";
  EXPECT_EQ(px(r, 8, 42), kLink);
  EXPECT_EQ(px(r, 58, 42), kLink);
  EXPECT_NE(px(r, 59, 42), kLink);
  EXPECT_NE(px(r, 7, 42), kLink);
  EXPECT_NE(px(r, 30, 43), kLink);

  // Pointer left again: the snapshot comes back.
  r = run(line + "tbtnwait %0\nend\n", "move 30 20\n+50 move 60 20\n", 2000);
  EXPECT_NE(px(r, 30, 42), kLink);

  // Inside (the last column is right - 1), then the table is empty; right
  // click; outside.
  r = run(line + "tbtnwait %0\ntbtnwait %1\nend\n", "click 59 43\nclick 30 20\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(0), 7);
  EXPECT_EQ(r.num(1), 0);
  EXPECT_NE(px(r, 30, 42), kLink);  // the scene was shown again
  EXPECT_EQ(r.events("button"), (Strings{"7", "0"}));
  r = run(line + "tbtnwait %0\n" + line + "tbtnwait %1\nend\n", "rclick 30 20\nclick 60 20\n");
  EXPECT_EQ(r.num(0), -1);
  EXPECT_EQ(r.num(1), 0);
  EXPECT_EQ(r.events("wait"), (Strings{"button", "button"}));
}

TEST_F(Buttons, ErrorsOfTheCommands) {
  std::string many;
  for (int i = 0; i < 256; ++i) many += "btn " + std::to_string(i) + ",0,0,1,1,0,0\n";
  RunResult r = run(many + "btnwait %0\nend\n", "click 0 0\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(0), 255);
  r = run(many + "btn 256,0,0,1,1,0,0\nend\n");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(box(r), "エラー|btnで定義できるボタンは256個までです。");
  // btndef starts the count again.
  r = run(many + "btndef \"b.bmp\"\n" + many + "end\n");
  EXPECT_EQ(r.exit_code, 0);

  for (const char* command : {"btnwait", "btnwait2"}) {
    for (const char* argument : {"$0", "0"}) {
      r = run(std::string(command) + " " + argument + "\nend\n", "click 1 1\n");
      EXPECT_EQ(r.exit_code, 2);
      EXPECT_EQ(box(r), "構文エラー|btnwaitの第一引数は数字変数です。");
    }
  }
  r = run("tbtnwait $1\nend\n", "click 1 1\n");
  EXPECT_EQ(box(r), "構文エラー|tbtnwaitの第一引数は数字変数です。");
}

}  // namespace
}  // namespace vellumite::testing
