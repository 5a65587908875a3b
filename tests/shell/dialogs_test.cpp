// The engine's own dialogs: the checks of the input dialog, its layout, and
// the boxes drawn in the window and answered with the mouse and the
// keyboard. The dialog commands are played in tests/games.
#include "game/shell/dialogs.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

#include "base/sjis.h"
#include "game/shell/window_proc.h"
#include "support/window_harness.h"
#include "text/font_match.h"

namespace vellumite {
namespace {

TEST(DialogInput, ChecksOfTheButton) {
  InputRequest number;
  number.number = true;
  InputRequest text;  // full-width, at most 10 bytes
  text.max_length = 10;
  text.full_width = true;
  InputRequest half = text;
  half.full_width = false;
  // A negative maximum refuses every text instead of turning into the number
  // dialog.
  InputRequest negative = half;
  negative.max_length = -1;
  const std::tuple<const InputRequest&, const char*, InputCheck> checks[] = {
      {number, "-12", InputCheck::Accepted},      {number, "", InputCheck::Accepted},
      {number, "1-2", InputCheck::NotNumber},     {number, "1.5", InputCheck::NotNumber},
      {number, "１", InputCheck::NotNumber},      {text, "", InputCheck::Empty},
      {text, "あいうえお", InputCheck::Accepted}, {text, "あいうえおか", InputCheck::TooLong},
      {text, "ａbc", InputCheck::NotFullWidth},   {half, "abc", InputCheck::Accepted},
      {negative, "1", InputCheck::TooLong}};
  for (const auto& [request, input, result] : checks)
    EXPECT_EQ(check_input(request, to_sjis(input)), result) << input;
  const std::pair<const char*, int32_t> numbers[] = {
      {"-12", -12}, {"", 0}, {"-", 0}, {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}};
  for (auto [input, value] : numbers) EXPECT_EQ(input_number_value(input), value) << input;
}

TEST(DialogInput, LayoutFromPoints) {
  for (auto [pt, px] : {std::pair{300, 400}, {100, 133}, {200, 267}, {20, 27}})
    EXPECT_EQ(points_to_pixels(pt), px);

  InputRequest request;
  InputLayout plain = input_dialog_layout(request);
  EXPECT_LT(plain.prompt.top + plain.prompt.height(), plain.edit.top + 1)
      << "the prompt is above the edit";
  EXPECT_GT(plain.button.left, plain.edit.left + plain.edit.width());

  request.custom_layout = true;
  request.sizes_pt = {300, 100, 200, 20};
  // The top-left corner stays; the button is as high as the edit, level with it.
  InputLayout l = input_dialog_layout(request);
  EXPECT_EQ((std::array{l.frame.left, l.frame.top, l.frame.width(), l.frame.height(), l.edit.left,
                        l.edit.width(), l.edit.height(), l.button.top, l.button.height(),
                        l.button.width()}),
            (std::array{plain.frame.left, plain.frame.top, 400, 133, plain.edit.left, 267, 27,
                        l.edit.top, l.edit.height(), plain.button.width() + 1}));
  // 20 points (27 pixels) from the dialog's right edge, less the frame.
  EXPECT_NEAR(l.frame.left + l.frame.width() - (l.button.left + l.button.width()), 27, 4);
}

struct DrawnHarness : testing::WindowHarness {
  DrawnHarness() : WindowHarness(false) {}
};

TEST(DialogDrawn, MessageBoxAnsweredByKeyAndMouse) {
  DrawnHarness h;
  testing::StepPlatform& p = h.platform;
  bool drawn = false;
  p.script({
      [&] {
        drawn = !h.picture_restored();
        p.post(MessageKind::Char, 0, 0, 'a');  // not an answer
        p.post(MessageKind::Close);            // waits for the box to close
        p.post(MessageKind::Timer, 0, 0, 1);   // still reaches the window procedure
      },
      [&] { p.post(MessageKind::Char, 0, 0, 0x0D); },
  });
  EXPECT_EQ(message_box(h.e, "終了確認", "終了しますか？", BoxButtons::YesNo), BoxAnswer::Yes);
  EXPECT_TRUE(drawn);
  EXPECT_TRUE(h.picture_restored());
  EXPECT_EQ(h.e.shell.last_message, static_cast<int>(MessageKind::Timer));
  Message held;
  ASSERT_TRUE(p.peek_message(held, true));
  EXPECT_EQ(held.kind, MessageKind::Close) << "the close request is handed on afterwards";

  // The buttons are centred under the text: いいえ lies right of the middle.
  // A press that leaves the button before the release pushes nothing.
  const int no_x = 360, no_y = 262;
  p.script({
      [&] {
        p.post(MessageKind::LButtonDown, no_x, no_y);
        p.post(MessageKind::MouseMove, 100, 100);
        p.post(MessageKind::LButtonUp, 100, 100);
      },
      [&] {
        p.post(MessageKind::LButtonDown, no_x, no_y);
        p.post(MessageKind::LButtonUp, no_x, no_y);
      },
  });
  EXPECT_EQ(message_box(h.e, "終了確認", "終了しますか？", BoxButtons::YesNo), BoxAnswer::No);
  EXPECT_TRUE(h.picture_restored());
  EXPECT_NE(h.trace.str().find("msgbox \"終了確認\" \"終了しますか？\" no"), std::string::npos);
}

TEST(DialogDrawn, InputDialogTypingAndRefusal) {
  DrawnHarness h;
  testing::StepPlatform& p = h.platform;
  InputRequest request;
  request.number = true;
  request.prompt = to_sjis("数を入れてください");
  InputLayout l = input_dialog_layout(request);
  int prompt_ink = 0, edit_ink_empty = 0, edit_ink_typed = 0;
  p.script({
      [&] {
        EXPECT_TRUE(p.text_input);
        prompt_ink = h.dark_pixels(l.prompt);
        edit_ink_empty = h.dark_pixels(l.edit);
        p.type(U"1-2\U0001F600");  // the emoji has no Shift-JIS form
        p.post(MessageKind::Char, 0, 0, 0x0D);
      },
      // The refusal's box is open over the dialog.
      [&] { p.post(MessageKind::Char, 0, 0, 0x0D); },
      [&] {
        edit_ink_typed = h.dark_pixels(l.edit);
        for (int i = 0; i < 3; ++i) p.post(MessageKind::Char, 0, 0, kBackspaceChar);
        p.type(U"-12");
        int x = l.button.left + l.button.width() / 2, y = l.button.top + l.button.height() / 2;
        p.post(MessageKind::LButtonDown, x, y);
        p.post(MessageKind::LButtonUp, x, y);
      },
  });
  EXPECT_EQ(run_input_dialog(h.e, request), "-12");
  EXPECT_GT(prompt_ink, 20) << "the prompt is drawn";
  EXPECT_GT(edit_ink_typed, edit_ink_empty) << "typed text shows in the edit box";
  EXPECT_FALSE(p.text_input);
  EXPECT_TRUE(h.picture_restored());
  EXPECT_NE(h.trace.str().find("msgbox \"数値入力\" \"数値を入力してください。\" ok"),
            std::string::npos);
}

TEST(DialogDrawn, EditBoxHoldsAtMost255Bytes) {
  DrawnHarness h;
  InputRequest request;
  request.max_length = 1000;
  h.platform.script({[&] {
    h.platform.type(std::u32string(254, U'a') + U"あb");  // あ would make 256 bytes
    h.platform.post(MessageKind::Char, 0, 0, 0x0D);
  }});
  EXPECT_EQ(run_input_dialog(h.e, request), std::string(254, 'a') + "b");
}

TEST(MenuFonts, InsertedBeforeDefaultOnceWithTheirIndexes) {
  DrawnHarness h;
  ShellState& shell = h.e.shell;
  shell.menu.build();
  std::vector<FontFamilyName> fonts;
  for (int i = 0; i < 300; ++i) {
    std::string name = "Font" + std::to_string(i);
    fonts.push_back({name, name});
  }
  install_font_menu(shell, fonts);
  shell.font_menu_id = 3;
  shell.menu.check_only(3, {kMenuFontDefault});
  install_font_menu(shell, fonts);  // a restart lists them again, not twice
  const std::vector<MenuItem>& entries = shell.menu.bar[1].entries;
  ASSERT_EQ(entries.size(), 257u) << "only the first 256 fonts";
  EXPECT_EQ(entries[0].label, "Font0");
  EXPECT_EQ(std::tuple(entries[0].id, entries[255].id, entries[256].id),
            std::tuple(0, 255, kMenuFontDefault));
  EXPECT_TRUE(entries[3].checked) << "the chosen font keeps its check mark";
  EXPECT_FALSE(entries[256].checked);
  EXPECT_EQ(shell.font_table[255], "Font255");
  dispatch_message(h.e, Message{MessageKind::Command, 0, 0, 0});  // font 0 takes the check mark
  EXPECT_EQ(std::tuple(shell.font_face, shell.menu.is_checked(0), shell.menu.is_checked(3)),
            std::tuple("Font0", true, false));
}

}  // namespace
}  // namespace vellumite
