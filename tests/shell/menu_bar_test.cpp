// The menu bar the engine draws: where the labels lie, what a click on the
// strip hits, the drop-downs over the picture and the commands they post;
// and the bar as the define block leaves it (`killmenu`, `mode_ext`).
#include "game/shell/menu_bar.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "base/sjis.h"
#include "game/engine.h"
#include "game/script/interpreter.h"
#include "game/script/labels.h"
#include "game/shell/window_proc.h"
#include "support/engine_harness.h"
#include "support/window_harness.h"

namespace vellumite {
namespace {

struct BarHarness : testing::WindowHarness {
  // The centre of bar item `index`, in strip coordinates.
  std::pair<int, int> bar_centre(size_t index) const {
    Rect box = menu_bar_layout(e.shell.menu)[index];
    return {box.left + box.width() / 2, box.top + box.height() / 2};
  }
  void press_bar(size_t index) {
    auto [x, y] = bar_centre(index);
    dispatch_message(e, Message{MessageKind::MenuBarMouse, x, y, kMenuBarButtonDown});
  }
  // Posts a press on bar item `index`, as the menu's own loop would see it.
  void post_bar_press(size_t index) {
    auto [x, y] = bar_centre(index);
    platform.post(MessageKind::MenuBarMouse, x, y, kMenuBarButtonDown);
  }
  // The entries of item `index`'s drop-down, opened at height `top`.
  std::vector<Rect> rows(size_t index, int top = 0) {
    return drop_down_layout(e.shell.menu.bar[index].entries,
                            menu_bar_layout(e.shell.menu)[index].left, top);
  }
  // Posts a move onto `r` and a release there.
  void choose(const Rect& r) {
    platform.post(MessageKind::MouseMove, r.left + r.width() / 2, r.top + r.height() / 2);
    platform.post(MessageKind::LButtonUp, r.left + r.width() / 2, r.top + r.height() / 2);
  }
};

// The centre of `r`.
int cx(const Rect& r) { return r.left + r.width() / 2; }
int cy(const Rect& r) { return r.top + r.height() / 2; }

TEST(MenuBarDrawn, LabelsInOrderAsWideAsTheirGlyphs) {
  Menu menu;
  menu.build();
  std::vector<Rect> boxes = menu_bar_layout(menu);
  ASSERT_EQ(boxes.size(), 10u);
  // 画面: two full-width cells of 12 pixels and a margin of 4 on either side;
  // ＣＤーDA: three full-width cells and two half-width ones.
  EXPECT_EQ(boxes[0].left, 0);
  EXPECT_EQ(boxes[0].width(), 2 * 12 + 8);
  EXPECT_EQ(boxes[8].width(), 3 * 12 + 2 * 6 + 8);
  for (size_t i = 1; i < boxes.size(); ++i) {
    EXPECT_EQ(boxes[i].left, boxes[i - 1].left + boxes[i - 1].width()) << "item " << i;
    EXPECT_EQ(boxes[i].height(), kMenuBarHeight);
  }
  EXPECT_LE(boxes.back().left + boxes.back().width(), kWindowWidth) << "all ten fit on one line";

  // Without the auto mode item the rest move up and nine remain.
  menu.remove_top_level(kMenuAutoMode);
  std::vector<Rect> nine = menu_bar_layout(menu);
  ASSERT_EQ(nine.size(), 9u);
  EXPECT_EQ(nine[6].left, boxes[6].left);
  EXPECT_EQ(nine[6].width(), boxes[7].width()) << "バージョン情報 takes the place of オートモード";
}

TEST(MenuBarDrawn, HitTesting) {
  Menu menu;
  menu.build();
  std::vector<Rect> boxes = menu_bar_layout(menu);
  for (size_t i = 0; i < boxes.size(); ++i) {
    const Rect& b = boxes[i];
    EXPECT_EQ(menu_bar_hit(menu, b.left, 0), static_cast<int>(i));
    EXPECT_EQ(menu_bar_hit(menu, b.left + b.width() - 1, kMenuBarHeight - 1), static_cast<int>(i));
  }
  int end = boxes.back().left + boxes.back().width();
  EXPECT_EQ(menu_bar_hit(menu, end, 5), -1) << "right of the last item";
  EXPECT_EQ(menu_bar_hit(menu, 5, kMenuBarHeight), -1) << "below the strip";
  EXPECT_EQ(menu_bar_hit(menu, 5, -1), -1);
  EXPECT_EQ(menu_bar_hit(menu, -1, 5), -1);
}

TEST(MenuBarDrawn, BarIsDrawnWithItsLabelsAndPresented) {
  BarHarness h;
  draw_menu_bar(h.e);
  EXPECT_EQ(h.platform.bar_presents, 1);
  // Dark label pixels inside every item's box, none right of the last one.
  const uint8_t* strip = h.platform.menu_bar_pixels();
  auto dark_in = [&](int left, int right) {
    int count = 0;
    for (int y = 0; y < kMenuBarHeight; ++y) {
      for (int x = left; x < right; ++x) {
        const uint8_t* p = strip + (kMenuBarHeight - 1 - y) * kWindowStride + x * 3;
        if (p[0] < 100 && p[1] < 100 && p[2] < 100) ++count;
      }
    }
    return count;
  };
  std::vector<Rect> boxes = menu_bar_layout(h.e.shell.menu);
  for (const Rect& b : boxes) EXPECT_GT(dark_in(b.left, b.left + b.width()), 10);
  EXPECT_EQ(dark_in(boxes.back().left + boxes.back().width(), kWindowWidth), 0);
  EXPECT_TRUE(h.picture_restored()) << "the bar is not drawn over the picture";
}

TEST(MenuBarDrawn, ChoosingAnEntryPostsItsCommandAndRestoresThePicture) {
  BarHarness h;
  // 文字速度 / 高速: press on the label, move to the entry, release on it.
  std::vector<Rect> rows = h.rows(3);
  bool drawn = false;
  h.platform.script({
      [&] { h.platform.post(MessageKind::MouseMove, cx(rows[2]), cy(rows[2])); },
      [&] {
        // The highlighted entry and the drop-down's face cover the picture.
        drawn = h.pixel(rows[2].left + 1, rows[2].top + 1) == 0x0A246A &&
                h.pixel(rows[0].left + 1, rows[0].top + 1) == 0xD4D0C8;
        h.platform.post(MessageKind::LButtonUp, cx(rows[2]), cy(rows[2]));
      },
  });
  h.press_bar(3);
  EXPECT_TRUE(drawn);
  EXPECT_TRUE(h.picture_restored());
  EXPECT_EQ(h.commands(), std::vector<uint32_t>{kMenuSpeedFast});
}

TEST(MenuBarDrawn, ClosingWithoutChoiceAndCommandItems) {
  BarHarness h;
  // A click on the picture away from the drop-down closes it; the menu
  // takes the release too, so the game sees no click.
  h.platform.script({[&] {
    h.platform.post(MessageKind::LButtonDown, 600, 400);
    h.platform.post(MessageKind::LButtonUp, 600, 400);
    h.platform.post(MessageKind::Char, 0, 0, 0x20);
  }});
  h.press_bar(0);
  EXPECT_TRUE(h.picture_restored());
  std::vector<Message> left = h.platform.drain();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].kind, MessageKind::Char) << "what came after the release stays";

  // A second press on the open item's label closes it too.
  h.platform.script({[&] { h.post_bar_press(1); }});
  h.press_bar(1);
  EXPECT_TRUE(h.picture_restored());
  EXPECT_TRUE(h.commands().empty());

  // Items on the bar itself post their command without a drop-down; so does
  // pressing one while another item's drop-down is open.
  h.press_bar(9);
  EXPECT_EQ(h.commands(), std::vector<uint32_t>{kMenuExit});
  h.platform.script({[&] { h.post_bar_press(5); }});
  h.press_bar(2);
  EXPECT_TRUE(h.picture_restored());
  EXPECT_EQ(h.commands(), std::vector<uint32_t>{kMenuSkipToChoice});

  // A press on the strip right of the items does nothing.
  dispatch_message(h.e, Message{MessageKind::MenuBarMouse, 639, 5, kMenuBarButtonDown});
  EXPECT_TRUE(h.commands().empty());
}

TEST(MenuBarDrawn, NestedDropDownAndCheckMarks) {
  BarHarness h;
  const MenuItem& cd = h.e.shell.menu.bar[8];
  Rect box = menu_bar_layout(h.e.shell.menu)[8];
  int width = drop_down_layout(cd.entries, 0, 0).back().width();
  // At the item's left edge the drop-down would cross the window's right
  // edge: it moves left to fit. The nested one has no room on the right
  // either and opens on the left, level with its entry.
  ASSERT_GT(box.left + width, kWindowWidth);
  std::vector<Rect> rows = drop_down_layout(cd.entries, kWindowWidth - width, 0);
  int nested_width = drop_down_layout(cd.entries[1].entries, 0, 0).back().width();
  std::vector<Rect> nested =
      drop_down_layout(cd.entries[1].entries, rows.back().left - nested_width + 3, rows[1].top - 3);
  bool checked_drawn = false;
  h.platform.script({
      [&] { h.platform.post(MessageKind::MouseMove, cx(rows[1]), cy(rows[1])); },
      [&] { h.platform.post(MessageKind::MouseMove, cx(nested[1]), cy(nested[1])); },
      [&] {
        // オン carries the check mark: dark pixels in its check column.
        checked_drawn =
            h.dark_pixels(Rect::sized(nested[0].left, nested[0].top, 16, nested[0].height())) > 5;
        h.platform.post(MessageKind::LButtonUp, cx(nested[1]), cy(nested[1]));
      },
  });
  h.press_bar(8);
  EXPECT_TRUE(checked_drawn);
  EXPECT_TRUE(h.picture_restored());
  EXPECT_EQ(h.commands(), std::vector<uint32_t>{kMenuCddaOff});
}

TEST(MenuBarDrawn, MessagesHeldWhileOpenArriveAfterTheChoice) {
  BarHarness h;
  std::vector<Rect> rows = h.rows(4);
  h.platform.script({[&] {
    h.platform.post(MessageKind::Close);
    h.choose(rows[1]);
  }});
  h.press_bar(4);
  std::vector<Message> left = h.platform.drain();
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(std::tuple(left[0].kind, left[0].param, left[1].kind),
            std::tuple(MessageKind::Command, uint32_t(kMenuWaveOff), MessageKind::Close));
}

TEST(MenuBarDrawn, FullScreenLaysTheBarOverTheTopRows) {
  BarHarness h;
  menu_command(h.e, kMenuFullScreen);
  EXPECT_FALSE(h.platform.overlay);
  auto move = [&](int y) { dispatch_message(h.e, Message{MessageKind::MouseMove, 100, y, 0}); };
  for (auto [y, overlay] : {std::pair{19, true}, {20, false}, {0, true}}) {
    move(y);
    EXPECT_EQ(h.platform.overlay, overlay) << y;
  }

  // A drop-down opens below the laid-over bar, not over it.
  std::vector<Rect> rows = h.rows(2, kMenuBarHeight);
  h.platform.script({[&] { h.choose(rows[1]); }});
  h.platform.drain();
  h.press_bar(2);
  EXPECT_EQ(h.commands(), std::vector<uint32_t>{kMenuPageMode});

  // Back in a window the strip is above the picture again.
  menu_command(h.e, kMenuWindow);
  EXPECT_FALSE(h.platform.overlay);
}

// Runs the define block of `scenario_utf8` on a freshly built menu bar and
// returns the top-level labels (UTF-8) in order.
std::vector<std::string> bar_after_define(std::string_view scenario_utf8) {
  testing::EngineHarness h;
  h.e.shell.menu.build();
  load_scenario_from_bytes(h.e, to_sjis(scenario_utf8));
  build_label_table(h.e);
  run_interpreter(h.e, true);
  std::vector<std::string> labels;
  for (const MenuItem& item : h.e.shell.menu.bar) labels.push_back(to_utf8(item.label));
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
  EXPECT_EQ(bar_after_define("*define\ngame\n*start\n"), without(kFullBar, {"オートモード"}));
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
