// Choices driven directly: the lines draw_menu_line lays out and the menu
// style of the choice loop. The choice commands are played in tests/games.
#include "game/text/selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/text/text_window.h"
#include "support/engine_harness.h"

namespace vellumite::testing {
namespace {

using Direct = EngineHarness;

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(DrawMenuLine, ReturnsTheWidthAndTheCellAfterTheText) {
  Direct d;
  int32_t column = 0, row = 0;
  EXPECT_EQ(draw_menu_line(d.e, to_sjis(repeat("あ", 30)), column, row, {255, 255, 255}), 23);
  EXPECT_EQ(std::pair(column, row), std::pair(0, 2));
  column = 5, row = 3;
  EXPECT_EQ(draw_menu_line(d.e, to_sjis("あ い\t"), column, row, {255, 255, 255}), 2);
  EXPECT_EQ(std::pair(column, row), std::pair(0, 4));
  // Pixel positions never wrap.
  MenuLook menu;
  column = -10, row = -300;
  EXPECT_EQ(draw_menu_line(d.e, to_sjis(repeat("あ", 30)), column, row, {255, 255, 255}, &menu),
            23);
  // An empty window rectangle draws nothing.
  d.e.text.window.window_right = -1;
  column = 0, row = 0;
  EXPECT_EQ(draw_menu_line(d.e, to_sjis("あ"), column, row, {255, 255, 255}), 0);
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
