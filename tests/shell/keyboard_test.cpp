// The keyboard in the menus and dialogs the engine draws: keys as the input
// script names them, the drop-downs worked without a mouse, the caret of the
// input dialog and the focus of a box's buttons.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/input_script.h"
#include "shell/dialogs.h"
#include "shell/menu_bar.h"
#include "shell/window_proc.h"
#include "support/game_runner.h"
#include "support/step_platform.h"
#include "text/sjis.h"

namespace vellumite {
namespace {

struct KeyHarness {
  KeyHarness() : e(platform) {
    e.shell.menu.build();
    uint8_t* px = platform.window_pixels();
    for (int i = 0; i < kWindowBytes; ++i) px[i] = static_cast<uint8_t>(i * 7 % 251);
    before.assign(px, px + kWindowBytes);
  }
  bool picture_restored() {
    return std::equal(before.begin(), before.end(), platform.window_pixels());
  }
  // Posts the keys: a NavKey, or '\r' and ' ' as characters.
  void keys(const std::vector<uint32_t>& list) {
    for (uint32_t k : list) {
      if (k == '\r' || k == ' ') {
        platform.post(MessageKind::Char, 0, 0, k == '\r' ? 0x0D : 0x20);
      } else {
        platform.post(MessageKind::Key, 0, 0, k);
      }
    }
  }
  std::vector<uint32_t> commands() {
    std::vector<uint32_t> ids;
    for (const Message& m : platform.drain()) {
      if (m.kind == MessageKind::Command) ids.push_back(m.param);
    }
    return ids;
  }

  testing::StepPlatform platform;
  Engine e;
  std::vector<uint8_t> before;
};

TEST(Keyboard, InputScriptNamesTheKeys) {
  InputParseResult ok = parse_input_script("key escape\n+5 key f10\nkey alt\n");
  ASSERT_EQ(ok.events.size(), 3u);
  EXPECT_EQ(ok.events[0].action, InputAction::NavKey);
  EXPECT_EQ((std::array{ok.events[0].value, ok.events[1].value, ok.events[2].value}),
            (std::array<uint32_t, 3>{kKeyEscape, kKeyF10, kKeyAlt}));
  EXPECT_NE(parse_input_script("key pageup\n").error, "");
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
    KeyHarness h;
    h.keys(std::vector<uint32_t>(c.keys.begin() + 1, c.keys.end()));
    dispatch_message(h.e, Message{MessageKind::Key, 0, 0, c.keys[0]});
    EXPECT_EQ(h.commands(), c.commands) << c.keys.size() << " keys, then " << c.keys.back();
    EXPECT_TRUE(h.picture_restored());
  }
  // Other keys mean nothing to the game.
  KeyHarness h;
  for (uint32_t k : {kKeyEscape, kKeyLeft, kKeyTab, kKeyDelete}) {
    dispatch_message(h.e, Message{MessageKind::Key, 0, 0, k});
  }
  EXPECT_TRUE(h.platform.drain().empty());
}

TEST(Keyboard, ScriptedKeysWorkTheMenuInAGame) {
  // 終了 from the keyboard while the game waits: the close is confirmed.
  testing::RunResult r =
      testing::run_scenario("*define\ngame\n*start\nwait 1000\nmov %1,1\nend\n",
                            {.input = "@10 key f10\n+50 key left\n+50 key enter\n"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.boxes().size(), 1u);
  EXPECT_EQ(r.num(1), 0) << "the game ended at the close";
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
    KeyHarness h;
    h.platform.script({[&] { h.keys(c.keys); }});
    EXPECT_EQ(message_box(h.e, "終了確認", "終了しますか？", c.buttons), c.answer) << c.keys.size();
    EXPECT_TRUE(h.picture_restored());
  }
}

TEST(Keyboard, InputDialogEditsAtTheCaret) {
  KeyHarness h;
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
