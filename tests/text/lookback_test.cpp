// Cutting one finished page out of the recorded history text.
#include "game/text/lookback.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "base/sjis.h"
#include "platform/input_script.h"
#include "platform/platform.h"

namespace vellumite {
namespace {

TEST(Lookback, HistoryPageCutsOnePageWithoutItsMark) {
  // "ソ" is 0x83 0x5C: its trail byte is the page mark's byte.
  const std::string so = to_sjis("ソ");
  const std::string text = to_sjis("あい") + "\n" + to_sjis("う") + "\\" + so + "\\" +
                           to_sjis("え") + "\\" + to_sjis("書きかけ");
  struct Case {
    int page;
    std::string expected;
  };
  const Case cases[] = {
      {0, to_sjis("あい") + "\n" + to_sjis("う")},
      {1, so},
      {2, to_sjis("え")},
      {3, to_sjis("書きかけ")},  // the page in progress, which the screen never asks for
      {4, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(history_page(text, c.page), c.expected) << c.page;
  // A lead byte at the very end does not reach past the text.
  EXPECT_EQ(history_page("\x82", 0), "\x82");
  EXPECT_EQ(history_page("\x82", 1), "");
}

TEST(Lookback, WheelAndPageKeysInTheInputScript) {
  const InputParseResult ok =
      parse_input_script("wheel up\nwheel down\nkey pageup\nkey pagedown\n");
  ASSERT_EQ(ok.error, "");
  ASSERT_EQ(ok.events.size(), 4u);
  EXPECT_EQ(ok.events[0].action, InputAction::Wheel);
  EXPECT_EQ(
      (std::array{ok.events[0].value, ok.events[1].value, ok.events[2].value, ok.events[3].value}),
      (std::array<uint32_t, 4>{kWheelUp, kWheelDown, kKeyPageUp, kKeyPageDown}));
  EXPECT_EQ(parse_input_script("wheel left").error, "input line 1: wheel must be up or down");
}

}  // namespace
}  // namespace vellumite
