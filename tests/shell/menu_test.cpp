// The menu bar's model as the define block leaves it: `killmenu` deleting
// items by position, and the auto mode item that only `mode_ext` keeps.
#include "shell/menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "script/interpreter.h"
#include "script/labels.h"
#include "shell/engine.h"
#include "text/sjis.h"

namespace vellumite {
namespace {

// Runs the define block of `scenario_utf8` on a freshly built menu bar and
// returns the top-level labels (UTF-8) in order.
std::vector<std::string> bar_after_define(std::string_view scenario_utf8) {
  PlatformOptions options;
  options.quiet = true;
  HeadlessPlatform platform(std::move(options));
  Engine e(platform);
  e.shell.menu.build();
  load_scenario_from_bytes(e, to_sjis(scenario_utf8));
  build_label_table(e);
  run_interpreter(e, true);
  std::vector<std::string> labels;
  for (const MenuItem& item : e.shell.menu.bar) labels.push_back(to_utf8(item.label));
  return labels;
}

const std::vector<std::string> kFullBar = {
    "画面",           "フォント",     "表示形式",       "文字速度", "ＷＡＶＥ",
    "選択肢まで進む", "オートモード", "バージョン情報", "ＣＤーDA", "終了"};

std::vector<std::string> without(std::vector<std::string> labels,
                                 std::initializer_list<std::string_view> gone) {
  for (std::string_view g : gone) std::erase(labels, std::string(g));
  return labels;
}

TEST(MenuBar, AutoModeItemOnlyWithModeExt) {
  EXPECT_EQ(bar_after_define("*define\nmode_ext\ngame\n*start\n"), kFullBar);
  std::vector<std::string> nine = bar_after_define("*define\ngame\n*start\n");
  EXPECT_EQ(nine.size(), 9u);
  EXPECT_EQ(nine, without(kFullBar, {"オートモード"}));
}

TEST(MenuBar, KillmenuDeletesByCurrentPosition) {
  // Position 0 twice: the second deletion takes the item that moved up.
  EXPECT_EQ(bar_after_define("*define\nmode_ext\nkillmenu 0\nkillmenu 0\ngame\n*start\n"),
            without(kFullBar, {"画面", "フォント"}));
  // Deleting an item in front of オートモード moves it to position 5; the
  // rule of `game` still finds it among the first ten.
  EXPECT_EQ(bar_after_define("*define\nkillmenu 2\ngame\n*start\n"),
            without(kFullBar, {"表示形式", "オートモード"}));
  // Deleting オートモード itself leaves nothing for `game` to remove.
  EXPECT_EQ(bar_after_define("*define\nkillmenu 6\ngame\n*start\n"),
            without(kFullBar, {"オートモード"}));
  // The last item, then positions that do not exist.
  EXPECT_EQ(bar_after_define("*define\nmode_ext\nkillmenu 9\nkillmenu 9\nkillmenu -1\ngame\n"
                             "*start\n"),
            without(kFullBar, {"終了"}));
}

}  // namespace
}  // namespace vellumite
