// The message display: layout and line breaking, the marks of a text line,
// the per-character delay, automatic click waits, the errors, the pixels a
// character leaves, and what the display records in the text history.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/graphics_state.h"
#include "platform/headless/headless_platform.h"
#include "shell/engine.h"
#include "support/game_runner.h"
#include "text/history.h"
#include "text/sjis.h"
#include "text/text_window.h"

namespace vellumite::testing {
namespace {

using Strings = std::vector<std::string>;

std::string game(const std::string& body, const std::string& define = "") {
  return "*define\n" + define + "game\n*start\n" + body;
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// The trace of a click wait at the cell (column, row) of the default window.
std::string at(int column, int row, const char* kind = "click") {
  return std::string(kind) + " " + std::to_string(8 + 26 * column) + " " +
         std::to_string(16 + 28 * row);
}

RunResult run(const std::string& scenario, const std::string& input = "") {
  return run_scenario(scenario, RunOptions{input, 600000});
}

TEST(Display, FullLinesBreakOnceAndKinsokuKeepsCharactersTogether) {
  // 19 あ + いう leave two cells; 「え」 moves to the next line as a whole.
  RunResult r = run(game(repeat("あ", 19) + "いう「え」@\n" + "textclear\n" +
                         // 23 characters fill a row; the end of the line adds no second break.
                         repeat("あ", 23) + "\nい@\n" + "textclear\n" +
                         // The 23rd あ goes down with the 。 that may not begin a line ...
                         repeat("あ", 23) + "。\nい@\n" + "textclear\n" +
                         // ... while 22 あ and 。 fit.
                         repeat("あ", 22) + "。\nい@\n" + "textclear\n" +
                         // Without a bound character the row is simply filled.
                         repeat("あ", 19) + "いうかえく@\nend\n"),
                    "click 1 1\nclick 1 1\nclick 1 1\nclick 1 1\nclick 1 1\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.events("wait"), (Strings{at(3, 1), at(1, 1), at(1, 2), at(1, 1), at(1, 1)}));
}

TEST(Display, BlanksHalfWidthBytesAndTheSlash) {
  RunResult r = run(game("あ い\tう@\n"  // blanks take no cell
                         "textclear\n"
                         "あab@cdef@\n"  // two single bytes share a cell
                         "textclear\n"
                         "あ/\n"  // the next line continues on this row
                         "い@\n"
                         "end\n"),
                    "click 1 1\nclick 1 1\nclick 1 1\nclick 1 1\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.events("wait"), (Strings{at(3, 0), at(2, 0), at(4, 0), at(2, 0)}));

  EXPECT_EQ(only_error(run(game("あ/い\nend\n"))),
            "エラー|表示文中の、/の次は改行文字でなければなりません。");
}

TEST(Display, CellsOutsideTheWindowAndRowsBelowTheLastAreErrors) {
  const std::string outside = "エラー！|文字がウィンドウからはみ出ました";
  EXPECT_EQ(only_error(run(game("locate 24,0\nあ\nend\n"))), outside);
  EXPECT_EQ(only_error(run(game("locate -1,0\nあ\nend\n"))), outside);
  EXPECT_EQ(only_error(run(game("locate 0,16\nあ\nend\n"))), outside);
  // The window's own edges count as well as the screen's.
  EXPECT_EQ(
      only_error(run(game("setwindow 8,16,23,16,26,26,0,2,0,1,1,#999999,0,0,639,41\nあ\nend\n"))),
      outside);
  // Inside the window any cell may be used.
  RunResult inside = run(game("locate 5,3\nあ@\nend\n"), "click 1 1\n");
  EXPECT_EQ(inside.events("wait"), (Strings{at(6, 3)}));

  const std::string overflow = "エラー|文字が枠をはみ出してしまいました。";
  EXPECT_EQ(only_error(run(game("locate 0,15\nbr\nend\n"))), overflow);
  EXPECT_EQ(only_error(run(game("locate 0,15\n" + repeat("あ", 23) + "\nend\n"))), overflow);
}

TEST(Display, TextModeZeroRefusesCharactersAndSkipsWaits) {
  RunResult marks = run(game("textmode 0\n@\\ \nend\n"));
  EXPECT_EQ(marks.exit_code, 0);
  EXPECT_TRUE(marks.events("wait").empty());

  EXPECT_EQ(only_error(run(game("textmode 0\nあ\nend\n"))),
            "エラー！|textmodeが非表示設定なのに文字を書こうとしました。");
}

TEST(Display, ClickstrWaitsAfterRunsAndEndsThePageNearTheBottom) {
  RunResult r = run(game("あ。い@\n"  // waits after 。 and at @
                         "textclear\n"
                         "。。あ\n"  // one wait, after the second 。
                         "textclear\n"
                         "あ。@\n"  // the explicit wait only
                         "textclear\n"
                         "あ_。い@\n"  // `_` suppresses the wait
                         "textclear\n"
                         "locate 0,14\nあ。\n"  // row 14: a click wait
                         "textclear\n"
                         "locate 0,14\n" +
                             repeat("あ", 22) + "。\n" +  // the 。 breaks to row 15: a page end
                             "い@\nend\n",
                         "clickstr \"。\",1\n"),
                    repeat("click 1 1\n", 8));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.events("wait"), (Strings{at(2, 0), at(3, 0), at(2, 0), at(2, 0), at(3, 0), at(2, 14),
                                       at(0, 15, "page"), at(1, 0)}));
}

TEST(Display, PageModeWaitsOnlyAtPageEnds) {
  RunResult r = run(game("あ@い\\う@\nend\n"), "@0 menu 40007\nclick 1 1\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.events("wait"), (Strings{at(2, 0, "page")}));
}

TEST(Display, SpeedMarksAndTheMenuSpeed) {
  RunResult r = run(game("!s0あいうえお@\n"
                         "!sdあいうえお@\n"  // the menu's normal speed, 30 ms
                         "!s100あい@\n"
                         "あ@\n"  // the speed stays in force
                         "end\n",
                         "defaultspeed 40,30,0\n"),
                    repeat("click 1 1\n", 4));
  EXPECT_EQ(r.exit_code, 0);
  std::vector<uint32_t> t = r.times("wait");
  ASSERT_EQ(t.size(), 4u);
  std::vector<uint32_t> texts = r.times("text");
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_LE(t[0] - texts[0], 2u) << "speed 0 shows the line at once";
  EXPECT_NEAR(static_cast<double>(t[1] - texts[1]), 150, 10);
  EXPECT_NEAR(static_cast<double>(t[2] - texts[2]), 200, 10);
  EXPECT_NEAR(static_cast<double>(t[3] - texts[3]), 100, 10);
}

TEST(Display, WaitMarksInTheLine) {
  // !w cannot be shortened by a click; !d ends at the first left click.
  RunResult w = run(game("あ!w1000い@\nend\n"), "@100 click 5 5\n");
  RunResult d = run(game("あ!d1000い@\nend\n"), "@100 click 5 5\n");
  EXPECT_EQ(w.events("wait"), (Strings{at(2, 0)}));
  EXPECT_EQ(d.events("wait"), (Strings{"delay", at(2, 0)}));
  std::vector<uint32_t> tw = w.times("wait"), td = d.times("wait");
  ASSERT_EQ(tw.size(), 1u);
  ASSERT_EQ(td.size(), 2u);
  EXPECT_GE(tw[0], 1030u);
  EXPECT_LT(tw[0], 1100u);
  EXPECT_GE(td[1], 100u);
  EXPECT_LT(td[1], 160u);
  // The click that ended !d does not end the following wait as well.
  EXPECT_EQ(d.exit_code, 3);
}

TEST(Display, ClickWhileTypingShowsTheRestUpToTheNextWait) {
  const std::string scenario = game("textspeed 100\nあいうえお@かき@\nend\n");
  RunResult slow = run(scenario, "click 1 1\n");
  RunResult fast = run(scenario, "@150 click 5 5\nclick 1 1\n");
  std::vector<uint32_t> ts = slow.times("wait"), tf = fast.times("wait");
  ASSERT_EQ(ts.size(), 2u);
  ASSERT_EQ(tf.size(), 2u);
  EXPECT_GE(ts[0], 500u);
  EXPECT_GE(tf[0], 150u);
  EXPECT_LT(tf[0], 200u) << "the rest of the text appears at once";
  EXPECT_EQ(fast.events("wait")[0], at(5, 0));
  // The wait ended only by the second click; the typing after it is slow again.
  EXPECT_GE(tf[1] - tf[0], 200u);
  EXPECT_EQ(fast.exit_code, 3);
}

TEST(Display, ColourMarksStayInForceAndLinkTextUsesTheLinkColour) {
  // White behind a window that does not tint: text pixels show their colour.
  auto pixel = [](const RunResult& r, int x, int y) {
    size_t o = (static_cast<size_t>(479 - y) * 640 + static_cast<size_t>(x)) * 3;
    return std::array<int, 3>{r.pixels[o], r.pixels[o + 1], r.pixels[o + 2]};
  };
  // The darkest pixel of the cell at column `column` of row 0, as B, G, R.
  auto ink = [&](const RunResult& r, int column) {
    std::array<int, 3> best{255, 255, 255};
    for (int y = 16; y < 42; ++y) {
      for (int x = 8 + 26 * column; x < 8 + 26 * column + 26; ++x) {
        std::array<int, 3> p = pixel(r, x, y);
        if (p[0] + p[1] + p[2] < best[0] + best[1] + best[2]) best = p;
      }
    }
    return best;
  };
  RunResult r =
      run(game("bg white,1\n"
               "setwindow 8,16,23,16,26,26,0,2,0,0,0,#ffffff,0,0,639,479\n"
               "#0000ffあ\n"
               "い<1う>え\n"
               "end\n",
               "linkcolor 255,0,0\n"));
  ASSERT_EQ(r.exit_code, 0);
  // Row 0: あ (blue); row 1: い (blue), う (red link), え (blue again).
  std::array<int, 3> a = ink(r, 0);
  EXPECT_GT(a[0], 200);
  EXPECT_LT(a[2], 100);
  auto ink_row1 = [&](int column) {
    std::array<int, 3> best{255, 255, 255};
    for (int y = 44; y < 70; ++y) {
      for (int x = 8 + 26 * column; x < 8 + 26 * column + 26; ++x) {
        std::array<int, 3> p = pixel(r, x, y);
        if (p[0] + p[1] + p[2] < best[0] + best[1] + best[2]) best = p;
      }
    }
    return best;
  };
  EXPECT_GT(ink_row1(0)[0], 200);
  EXPECT_LT(ink_row1(0)[2], 100);
  EXPECT_LT(ink_row1(1)[0], 100);
  EXPECT_GT(ink_row1(1)[2], 200);
  EXPECT_GT(ink_row1(2)[0], 200);
  EXPECT_LT(ink_row1(2)[2], 100);
}

// Pixels of a character drawn in red on white: (B, G, R) of the window at
// exit, for the shadow setting given.
RunResult red_character(int shadow) {
  return run(
      game("bg white,1\n"
           "setwindow 8,16,23,16,26,26,0,2,0,1," +
           std::to_string(shadow) +
           ",#ffffff,0,0,639,479\n"
           "#ff0000あ\n"
           "end\n"));
}

TEST(Display, CharacterCoverageLandsInItsCellAndTheShadowColumn) {
  for (int shadow = 0; shadow <= 1; ++shadow) {
    RunResult r = red_character(shadow);
    ASSERT_EQ(r.exit_code, 0);
    int outside_changed = 0, inked = 0, darkened = 0, darkened_first_column = 0;
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        size_t o = (static_cast<size_t>(479 - y) * 640 + static_cast<size_t>(x)) * 3;
        const uint8_t b = r.pixels[o], g = r.pixels[o + 1], red = r.pixels[o + 2];
        const bool in_cell = x >= 8 && x < 34 && y >= 16 && y < 42;
        const bool in_shadow = x >= 9 && x <= 34 && y >= 16 && y < 42;
        const bool white = b == 255 && g == 255 && red == 255;
        if (!in_cell && !(shadow == 1 && in_shadow) && !white) ++outside_changed;
        if (in_cell && g < 128 && b == g) ++inked;
        if (red < 200) {
          ++darkened;
          if (x == 8) ++darkened_first_column;
        }
      }
    }
    EXPECT_EQ(outside_changed, 0) << "shadow " << shadow;
    EXPECT_GT(inked, 20) << "shadow " << shadow;
    if (shadow == 1) {
      EXPECT_GT(darkened, 5);
      EXPECT_EQ(darkened_first_column, 0) << "a shadow falls to the right only";
    } else {
      EXPECT_EQ(darkened, 0) << "red text on white keeps the red channel full";
    }
  }
}

TEST(Display, ColourWindowTintsWhatLiesBeneath) {
  RunResult r =
      run(game("bg white,1\n"
               "setwindow 110,110,5,3,26,26,0,2,0,1,1,#3366cc,100,100,299,199\n"
               "texton\n"
               "end\n"));
  ASSERT_EQ(r.exit_code, 0);
  auto px = [&](int x, int y) {
    size_t o = (static_cast<size_t>(479 - y) * 640 + static_cast<size_t>(x)) * 3;
    return std::array<int, 3>{r.pixels[o], r.pixels[o + 1], r.pixels[o + 2]};
  };
  const std::array<int, 3> tint{0xcc, 0x66, 0x33}, white{255, 255, 255};
  EXPECT_EQ(px(100, 100), tint);
  EXPECT_EQ(px(299, 199), tint);
  EXPECT_EQ(px(200, 150), tint);
  EXPECT_EQ(px(99, 150), white);
  EXPECT_EQ(px(300, 150), white);
  EXPECT_EQ(px(200, 200), white);
  EXPECT_EQ(px(200, 99), white);
}

// The engine driven directly, for what the trace does not show.
struct Direct {
  Direct() : platform(PlatformOptions{}), e(platform) {
    create_screen_pictures(e.graphics);
    e.shell.font_face = to_sjis("ＭＳ ゴシック");
    e.text.drawing_font_face = e.shell.font_face;
    e.text.window.speed = 0;
  }
  void show(const std::string& utf8) { display_text(e, to_sjis(utf8)); }
  std::string history() const { return std::string(history_text(e.text.history)); }
  HeadlessPlatform platform;
  Engine e;
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
  ASSERT_EQ(t.text_button_count, 1);
  EXPECT_EQ(t.text_buttons[0].number, 12);
  EXPECT_EQ(t.text_buttons[0].left, 8 + 26);
  EXPECT_EQ(t.text_buttons[0].top, 16);
  EXPECT_EQ(t.text_buttons[0].right, 8 + 26 * 3);
  EXPECT_EQ(t.window.text_red, 0x00);
  EXPECT_EQ(t.window.text_green, 0xff);
  EXPECT_EQ(t.window.text_blue, 0x80);

  // More buttons than the table holds: the rest are not registered, and a
  // colour mark cut short by the end of the line reads nothing beyond it.
  for (int i = 0; i < 300; ++i) {
    d.show("<1>");
  }
  EXPECT_EQ(t.text_button_count, kTextButtonCount);
  d.show("#ff");
  EXPECT_EQ(t.window.text_red, 0);
  EXPECT_EQ(t.window.text_green, 0);
  EXPECT_EQ(t.window.text_blue, 0xff);
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

  // Characters beyond the capacity drop the whole history.
  history_clear(h);
  for (size_t i = 0; i < kHistoryCapacity / 2 - 1; ++i) history_char(h, 'a', 'b');
  EXPECT_EQ(h.write_index, kHistoryCapacity - 2);
  history_char(h, 'c', 'd');
  EXPECT_EQ(h.write_index, 0u);
  EXPECT_EQ(h.page_count, 0);

  // Line feeds after a nearly full history never write past the buffer.
  for (size_t i = 0; i < kHistoryCapacity / 2 - 1; ++i) history_char(h, 'a', 'b');
  for (int i = 0; i < 20; ++i) history_line_feed(h);
  for (int i = 0; i < 20; ++i) history_page_end(h);
  EXPECT_LT(h.write_index, h.bytes.size());
  EXPECT_EQ(h.bytes[h.write_index], '\0');
}

}  // namespace
}  // namespace vellumite::testing
