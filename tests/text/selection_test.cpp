// Choices: item lists with empty items, the commands' results, pointing and
// clicking with the exact item bounds, wrapped items, highlight colours, and
// the menu style of the choice loop.
#include "text/selection.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "graphics/graphics_state.h"
#include "platform/headless/headless_platform.h"
#include "platform/input_script.h"
#include "shell/engine.h"
#include "support/game_runner.h"
#include "text/sjis.h"
#include "text/text_window.h"

namespace vellumite::testing {
namespace {

using Strings = std::vector<std::string>;

std::string game(const std::string& body, const std::string& define = "") {
  return "*define\n" + define + "game\n*start\n" + body;
}

RunResult run(const std::string& scenario, const std::string& input) {
  return run_scenario(scenario, RunOptions{input, 600000});
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// Counts the pixels of colour 0xRRGGBB in the rectangle [x0, x1) x [y0, y1).
int count_colour(const RunResult& r, int x0, int y0, int x1, int y1, int rgb) {
  int n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const size_t o = (static_cast<size_t>(479 - y) * 640 + static_cast<size_t>(x)) * 3;
      if (r.pixels[o] == (rgb & 0xFF) && r.pixels[o + 1] == ((rgb >> 8) & 0xFF) &&
          r.pixels[o + 2] == ((rgb >> 16) & 0xFF)) {
        ++n;
      }
    }
  }
  return n;
}

TEST(Select, ItemListsOverSeveralLinesLeaveOutEmptyItems) {
  // The empty item's label does not exist: it is never used.
  const std::string items =
      "mov $1, \"\"\nselect \"あい\", *a,\n  $1, *nowhere\n  , \"うえお\", *b\n";
  const std::string body = items + "*a\nmov %1, 1\nend\n*b\nmov %1, 2\nend\n";
  RunResult second = run(game(body), "click 20 54\n");
  EXPECT_EQ(second.exit_code, 0);
  EXPECT_EQ(second.num(1), 2);
  EXPECT_EQ(second.events("choice"), Strings{"1"});
  RunResult first = run(game(body), "click 20 20\n");
  EXPECT_EQ(first.num(1), 1);

  // No item shown: clicks cannot answer it, so the game waits until the input runs out.
  RunResult none = run(game("select $1, *a, $2, *b\n*a\n*b\nend\n"), "click 20 20\nclick 20 48\n");
  EXPECT_EQ(none.exit_code, 3);
  EXPECT_TRUE(none.events("choice").empty());
  EXPECT_EQ(none.events("wait"), Strings{"choice"}) << "one wait, asked again after each click";
}

TEST(Select, SelnumCountsOnlyShownItemsAndChecksItsVariable) {
  RunResult r = run(game("selnum %2, \"あ\", $1,\n \"い\"\nend\n"), "click 20 48\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(2), 1);

  RunResult bad = run(game("selnum $2, \"あ\"\nend\n"), "");
  EXPECT_EQ(bad.exit_code, 2);
  ASSERT_EQ(bad.boxes().size(), 1U);
  EXPECT_EQ(bad.boxes()[0].substr(0, bad.boxes()[0].find('\n')),
            "構文エラー|selnumの第一引数は数値変数です。");

  RunResult colour = run(game("end\n", "selectcolor ff0000, #0000ff\n"), "");
  ASSERT_EQ(colour.boxes().size(), 1U);
  EXPECT_EQ(colour.boxes()[0].substr(0, colour.boxes()[0].find('\n')),
            "エラー|selectcolorのパラメータが違います。");
}

TEST(Select, ClicksOutsideTheItemBoundsDoNothing) {
  // Two items of two characters: 8 < x <= 60 and 16 <= y < 72.
  RunResult r = run(game("selnum %1, \"あい\", \"うえ\"\nend\n"),
                    "click 8 20\nclick 61 20\nclick 30 72\nclick 30 15\nclick 60 71\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(1), 1);
  EXPECT_EQ(r.events("choice"), Strings{"1"});
  EXPECT_EQ(r.events("wait"), Strings{"choice"});
}

TEST(Select, LongItemsWrapWithKinsokuAndKeepTheirSecondLine) {
  // 22 あ and い。: い goes to the next row with the 。 bound to it.
  const std::string body = "selnum %1, \"" + repeat("あ", 22) + "い。\", \"う\"\nselnum %2, \"" +
                           repeat("あ", 22) + "い。\", \"う\"\nend\n";
  RunResult r = run(game(body), "click 600 49\nclick 20 77\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(1), 0);  // the second row, and the right end of the widest item
  EXPECT_EQ(r.num(2), 1);  // the row after the wrapped item

  // The cell where い would stand without kinsoku stays empty while the
  // choice is open.
  RunResult open = run(game("select \"" + repeat("あ", 22) + "い。\", *a\n*a\nend\n"), "");
  EXPECT_EQ(open.exit_code, 3);
  EXPECT_EQ(count_colour(open, 583, 16, 604, 42, 0), 21 * 26);
  EXPECT_LT(count_colour(open, 10, 44, 32, 70, 0), 22 * 26);
}

TEST(Select, ItemUnderThePointerTakesTheHighlightColour) {
  const std::string body = "select \"■■\", *a, \"■■\", *b\n*a\n*b\nend\n";
  // Band of the first item's cells and of the second's.
  const auto first = [](const RunResult& r, int rgb) {
    return count_colour(r, 8, 16, 60, 42, rgb);
  };
  const auto second = [](const RunResult& r, int rgb) {
    return count_colour(r, 8, 44, 60, 70, rgb);
  };

  RunResult defaults = run(game(body), "move 20 20\n");
  EXPECT_EQ(defaults.exit_code, 3);
  EXPECT_GT(first(defaults, 0xFFFFFF), 0);
  EXPECT_EQ(first(defaults, 0xAAAAAA), 0);
  EXPECT_GT(second(defaults, 0xAAAAAA), 0);

  const std::string define = "selectcolor #ff0000, #0000ff\n";
  RunResult on = run(game(body, define), "move 20 20\n");
  EXPECT_GT(first(on, 0xFF0000), 0);
  EXPECT_EQ(second(on, 0xFF0000), 0);
  EXPECT_GT(second(on, 0x0000FF), 0);

  // Moved off every item: all normal again; a click there chooses nothing.
  RunResult off = run(game(body, define), "move 20 20\nclick 300 300\n");
  EXPECT_EQ(off.exit_code, 3);
  EXPECT_EQ(first(off, 0xFF0000), 0);
  EXPECT_GT(first(off, 0x0000FF), 0);

  // The pointer left by the click that ended the text wait lies over the
  // first item (on the second row): it lights up when the choice opens.
  RunResult at_once = run(game("あ@\n" + body, define), "click 20 50\n");
  EXPECT_EQ(at_once.exit_code, 3);
  EXPECT_GT(count_colour(at_once, 8, 44, 60, 70, 0xFF0000), 0);
}

TEST(Select, ChoiceEndsThePageAndStopsSkipping) {
  // Skipping runs through the text but not through the choice; afterwards
  // the text starts on a new page and click waits wait again.
  RunResult r =
      run(game("あ@\nselect \"う\", *a\n*a\nえ@\nend\n"), "menu 40006\nclick 20 50\nclick 1 1\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.events("choice"), Strings{"0"});
  const Strings waits = r.events("wait");
  ASSERT_FALSE(waits.empty());
  EXPECT_EQ(waits.back(), "click 34 16");
}

TEST(Selgosub, ReturnsBehindTheCommandAndChecksTheStack) {
  RunResult r = run(game("selgosub \"あ\", *s1,\n \"い\", *s2\nmov %2, 5\nend\n"
                         "*s1\nmov %1, 1\nreturn\n*s2\nmov %1, 2\nreturn\n"),
                    "click 20 48\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(1), 2);
  EXPECT_EQ(r.num(2), 5);

  RunResult full = run(game("gosub *r\nend\n*r\ninc %3\nif %3 < 1000 gosub *r\n"
                            "selgosub \"あ\", *x\n*x\nend\n"),
                       "click 20 20\n");
  EXPECT_EQ(full.exit_code, 2);
  ASSERT_EQ(full.boxes().size(), 1U);
  EXPECT_EQ(full.boxes()[0].substr(0, full.boxes()[0].find('\n')),
            "スタックエラー|gosub文のせいでスタックが溢れました。");
  EXPECT_EQ(full.events("choice"), Strings{"0"});
}

// The engine driven directly.
struct Direct {
  explicit Direct(const std::string& input = "") : platform(options(input)), e(platform) {
    create_screen_pictures(e.graphics);
    e.shell.font_face = to_sjis("ＭＳ ゴシック");
    e.text.drawing_font_face = e.shell.font_face;
  }
  static PlatformOptions options(const std::string& input) {
    PlatformOptions o;
    o.input = parse_input_script(input).events;
    return o;
  }
  HeadlessPlatform platform;
  Engine e;
};

TEST(DrawMenuLine, ReturnsTheWidthAndTheCellAfterTheText) {
  Direct d;
  int32_t column = 0, row = 0;
  EXPECT_EQ(draw_menu_line(d.e, to_sjis(repeat("あ", 30)), column, row, 0xFFFFFF), 23);
  EXPECT_EQ(column, 0);
  EXPECT_EQ(row, 2);
  column = 5;
  row = 3;
  EXPECT_EQ(draw_menu_line(d.e, to_sjis("あ い\t"), column, row, 0xFFFFFF), 2);
  EXPECT_EQ(column, 0);
  EXPECT_EQ(row, 4);
  // Pixel positions never wrap.
  MenuLook menu;
  column = -10;
  row = -300;
  EXPECT_EQ(draw_menu_line(d.e, to_sjis(repeat("あ", 30)), column, row, 0xFFFFFF, &menu), 23);
  // An empty window rectangle draws nothing.
  d.e.text.window.window_right = -1;
  column = 0;
  row = 0;
  EXPECT_EQ(draw_menu_line(d.e, to_sjis("あ"), column, row, 0xFFFFFF), 0);
  EXPECT_EQ(row, 0);
}

TEST(ChooseItem, MenuStyleIsCentredAndCancelledByARightClick) {
  const std::vector<std::string> items = {to_sjis("はい　"), to_sjis("いいえ")};
  // Six bytes at pitch 26: 281 <= x < 359; rows 212 <= y < 240 and 240 <= y < 268.
  Direct d("click 359 250\nclick 281 212\n");
  d.e.script.menu_busy = true;
  bool backdrop = false;
  MenuLook menu;
  menu.draw_backdrop = [&backdrop](Engine&) { backdrop = true; };
  EXPECT_EQ(choose_item(d.e, items, 0, 0, menu), 0);
  EXPECT_TRUE(backdrop);

  Direct second("click 358 267\n");
  second.e.script.menu_busy = true;
  EXPECT_EQ(choose_item(second.e, items, 0, 0, menu), 1);

  Direct cancel("move 300 250\nrclick 300 250\n");
  cancel.e.script.menu_busy = true;
  cancel.e.shell.skip_to_choice = true;
  EXPECT_EQ(choose_item(cancel.e, items, 0, 0, menu), -1);
  EXPECT_FALSE(cancel.e.shell.skip_to_choice);
}

}  // namespace
}  // namespace vellumite::testing
