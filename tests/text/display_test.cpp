// The message display driven directly: what it records in the text history
// and the history's limits, and the text buttons and colour marks of a line.
// What a player sees of the display is played in tests/games.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "base/sjis.h"
#include "game/text/text_window.h"
#include "support/engine_harness.h"
#include "text/history.h"

namespace vellumite::testing {
namespace {

struct Direct : EngineHarness {
  Direct() { e.text.window.speed = 0; }
  void show(const std::string& utf8) { display_text(e, to_sjis(utf8)); }
  std::string history() const { return std::string(history_text(e.text.history)); }
};

TEST(Display, HistoryRecordsCharactersLineFeedsAndPageEnds) {
  Direct d;
  d.show("あい");
  d.show("う/");
  d.show(" ab");
  EXPECT_EQ(d.history(), to_sjis("あい\nうab\n"));
  clear_text_page(d.e);
  d.show("え");
  EXPECT_EQ(d.history(), to_sjis("あい\nうab\n") + "\\" + to_sjis("え\n"));
  EXPECT_EQ(d.e.text.history.page_count, 1);
}

TEST(Display, TextButtonsAndColourMarks) {
  Direct d;
  d.show("あ<12いう>え#00ff80お");
  const TextState& t = d.e.text;
  auto colour = [&t] { return t.window.text_colour.rgb(); };
  ASSERT_EQ(t.text_button_count, 1);
  const auto& b = t.text_buttons[0];
  EXPECT_EQ(std::tuple(b.number, b.left, b.top, b.right), std::tuple(12, 8 + 26, 16, 8 + 26 * 3));
  EXPECT_EQ(colour(), 0x00ff80u);

  // More buttons than the table holds: the rest are not registered, and a
  // colour mark cut short by the end of the line reads nothing beyond it.
  for (int i = 0; i < 300; ++i) d.show("<1>");
  EXPECT_EQ(t.text_button_count, kTextButtonCount);
  d.show("#ff");
  EXPECT_EQ(colour(), 0x0000ffu);
}

TEST(Display, HistoryCapacityAndTrimming) {
  TextHistory h;
  // Eleven pages: the oldest goes, ten stay.
  for (int page = 0; page < 11; ++page) {
    history_char(h, static_cast<char>(0x82), static_cast<char>(0xA0 + 2 * page));
    history_char(h, static_cast<char>(0x83), '\\');  // ソ: a trail byte that is '\'
    history_line_feed(h);
    history_page_end(h);
  }
  EXPECT_EQ(h.page_count, 10);
  EXPECT_EQ(history_text(h).size(), 10u * 6);
  EXPECT_EQ(history_text(h).substr(0, 6), to_sjis("いソ\n") + "\\");
  EXPECT_EQ(h.bytes[h.write_index], '\0');

  // Characters beyond the capacity of 90000 bytes drop the whole history.
  history_clear(h);
  for (int i = 0; i < 44999; ++i) history_char(h, 'a', 'b');
  EXPECT_EQ(h.write_index, 89998u);
  history_char(h, 'c', 'd');
  EXPECT_EQ(h.write_index, 0u);
  EXPECT_EQ(h.page_count, 0);

  // Line feeds after a nearly full history never write past the buffer.
  for (int i = 0; i < 44999; ++i) history_char(h, 'a', 'b');
  for (int i = 0; i < 20; ++i) history_line_feed(h);
  for (int i = 0; i < 20; ++i) history_page_end(h);
  EXPECT_LT(h.write_index, h.bytes.size());
  EXPECT_EQ(h.bytes[h.write_index], '\0');
}

}  // namespace
}  // namespace vellumite::testing
