// The keyboard in the menus and dialogs the engine draws: keys as the input
// script names them, the drop-downs worked without a mouse, the caret of the
// input dialog and the focus of a box's buttons.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "game/shell/dialogs.h"
#include "game/shell/menu_bar.h"
#include "game/shell/window_proc.h"
#include "platform/input_script.h"
#include "support/window_harness.h"

namespace vellumite {
namespace {

TEST(Keyboard, InputScriptNamesTheKeys) {
  InputParseResult ok = parse_input_script("key escape\n+5 key f10\nkey alt\n");
  ASSERT_EQ(ok.events.size(), 3u);
  EXPECT_EQ(ok.events[0].action, InputAction::NavKey);
  EXPECT_EQ((std::array{ok.events[0].value, ok.events[1].value, ok.events[2].value}),
            (std::array<uint32_t, 3>{kKeyEscape, kKeyF10, kKeyAlt}));
  EXPECT_NE(parse_input_script("key insert\n").error, "");
}

TEST(Keyboard, DropDownsWithoutTheMouse) {
  // The bar: 画面 {フルスクリーン, ウィンドウ}, フォント, 表示形式, 文字速度
  // {低速, 普通, 高速}, ..., ＣＤーDA {演奏ドライブ選択, ＣＤ－ＤＡ再生 {オン, オフ}}.
  const uint32_t kEnter = '\r';
  const struct {
    std::vector<uint32_t> keys;
    std::vector<uint32_t> commands;
  } cases[] = {
      {{kKeyF10, kEnter}, {kMenuFullScreen}},
      {{kKeyF10, kKeyDown, kEnter}, {kMenuWindow}},
      {{kKeyF10, kKeyRight, kKeyRight, kKeyRight, kKeyDown, kKeyDown, kEnter}, {kMenuSpeedFast}},
      // Command items on the bar are reached too; Left from the first item
      // wraps round to 終了.
      {{kKeyF10, kKeyLeft, kEnter}, {kMenuExit}},
      {{kKeyF10, kKeyRight, kKeyRight, kKeyRight, kKeyRight, kKeyRight, kEnter},
       {kMenuSkipToChoice}},
      // ＣＤーDA: Right opens its nested drop-down, Left and Escape close it.
      {{kKeyAlt, kKeyLeft, kKeyLeft, kKeyDown, kKeyRight, kKeyDown, kEnter}, {kMenuCddaOff}},
      {{kKeyAlt, kKeyLeft, kKeyLeft, kKeyDown, kKeyRight, kKeyLeft, kKeyUp, kEnter},
       {kMenuCdDrive}},
      {{kKeyAlt, kKeyLeft, kKeyLeft, kKeyDown, kKeyRight, kKeyEscape, kKeyUp, kEnter},
       {kMenuCdDrive}},
      // Right on an entry without a drop-down moves on to the next item.
      {{kKeyAlt, kKeyLeft, kKeyLeft, kKeyRight, kKeyRight, kKeyDown, kEnter}, {kMenuWindow}},
      // Closed without a choice.
      {{kKeyF10, kKeyEscape}, {}},
      {{kKeyF10, kKeyLeft, kKeyEscape}, {}},
      {{kKeyAlt, kKeyLeft, kKeyLeft, kKeyDown, kKeyRight, kKeyEscape, kKeyEscape}, {}},
      {{kKeyAlt, kKeyDown, kKeyAlt}, {}},
  };
  for (const auto& c : cases) {
    testing::WindowHarness h;
    h.keys(std::vector<uint32_t>(c.keys.begin() + 1, c.keys.end()));
    dispatch_message(h.e, Message{MessageKind::Key, 0, 0, c.keys[0]});
    EXPECT_EQ(h.commands(), c.commands) << c.keys.size() << " keys, then " << c.keys.back();
    EXPECT_TRUE(h.picture_restored());
  }
  // Other keys mean nothing to the game (Escape is a right click).
  testing::WindowHarness h;
  for (uint32_t k : {kKeyLeft, kKeyTab, kKeyDelete}) {
    dispatch_message(h.e, Message{MessageKind::Key, 0, 0, k});
  }
  EXPECT_TRUE(h.platform.drain().empty());
}

TEST(Keyboard, BoxButtonsTakeTheFocusAndEscapeCancels) {
  const uint32_t kEnter = '\r';
  const struct {
    BoxButtons buttons;
    std::vector<uint32_t> keys;
    BoxAnswer answer;
  } cases[] = {
      {BoxButtons::YesNo, {kKeyTab, kEnter}, BoxAnswer::No},
      {BoxButtons::YesNo, {kKeyTab, kKeyTab, ' '}, BoxAnswer::Yes},
      {BoxButtons::YesNo, {kKeyEscape}, BoxAnswer::No},
      {BoxButtons::Ok, {kKeyTab, kKeyEscape}, BoxAnswer::Ok},
  };
  for (const auto& c : cases) {
    testing::WindowHarness h;
    h.platform.script({[&] { h.keys(c.keys); }});
    EXPECT_EQ(message_box(h.e, "終了確認", "終了しますか？", c.buttons), c.answer) << c.keys.size();
    EXPECT_TRUE(h.picture_restored());
  }
}

TEST(Keyboard, InputDialogEditsAtTheCaret) {
  testing::WindowHarness h;
  testing::StepPlatform& p = h.platform;
  InputRequest request;
  request.max_length = 40;
  p.script({[&] {
    p.type(U"abc");
    h.keys({kKeyLeft, kKeyLeft});
    p.type(U"X");  // aXbc
    h.keys({kKeyHome, kKeyDelete, kKeyEnd});
    p.post(MessageKind::Char, 0, 0, kBackspaceChar);  // Xb
    h.keys({kKeyRight, kKeyLeft});
    p.type(U"あ");  // Xあb
    h.keys({kKeyLeft, kKeyRight});
    p.type(U"い");  // Xあいb: Left steps over a whole character
    h.keys({'\r'});
  }});
  EXPECT_EQ(run_input_dialog(h.e, request), to_sjis("Xあいb"));
  // Tab gives the focus to 決定, which Space then pushes.
  p.script({[&] {
    p.type(U"q");
    h.keys({' ', kKeyTab, ' '});
  }});
  EXPECT_EQ(run_input_dialog(h.e, request), "q");
  EXPECT_TRUE(h.picture_restored());
}

}  // namespace
}  // namespace vellumite
