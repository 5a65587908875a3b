// The headless backend: virtual time, scripted input, boxes, the trace and
// the screenshot.
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cstdio>
#include <sstream>
#include <tuple>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/input_script.h"
#include "support/game_runner.h"

namespace vellumite {
namespace {

PlatformOptions with_input(std::string_view script, std::ostream* trace = nullptr) {
  InputParseResult parsed = parse_input_script(script);
  EXPECT_EQ(parsed.error, "");
  PlatformOptions options;
  options.input = parsed.events;
  options.trace = trace;
  return options;
}

std::vector<Message> drain(HeadlessPlatform& p) {
  std::vector<Message> out;
  Message m;
  // Only while something waits: an empty poll would move the clock.
  while (p.waiting_messages() > 0 && p.peek_message(m, true)) out.push_back(m);
  return out;
}

TEST(HeadlessClock, SleepsAndEmptyPollsMoveVirtualTime) {
  PlatformOptions options;
  options.timeout_ms = 700000;
  HeadlessPlatform p{options};
  EXPECT_EQ(p.ticks(), 0u);
  p.sleep(600000 - 1);  // ten minutes of game time, at once
  EXPECT_EQ(p.ticks(), 599999u);
  Message m;
  EXPECT_FALSE(p.peek_message(m, true));
  EXPECT_EQ(p.ticks(), 600000u) << "an empty poll moves the clock by 1 ms";
  for (int i = 0; i < 100; ++i) p.yield();
  EXPECT_EQ(p.ticks(), 600001u) << "100 yields cost 1 ms";
}

TEST(HeadlessClock, TimeoutEndsEveryEndlessLoop) {
  PlatformOptions options;
  options.timeout_ms = 50;
  HeadlessPlatform p{options};
  try {
    for (;;) p.yield();
  } catch (const ProgramExit& exit) {
    EXPECT_EQ(exit.code, 124);
    EXPECT_EQ(p.ticks(), 50u);
  }
}

TEST(HeadlessClock, TimerOneTicksEveryPeriodWithoutPilingUp) {
  HeadlessPlatform p{PlatformOptions{}};
  p.start_timer(100);
  p.sleep(99);
  EXPECT_TRUE(drain(p).empty());
  p.sleep(1);
  std::vector<Message> got = drain(p);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].kind, MessageKind::Timer);
  p.sleep(1000);  // ten periods pass unread: one timer message waits
  Message m;
  ASSERT_TRUE(p.peek_message(m, true));
  EXPECT_EQ(m.kind, MessageKind::Timer);
  EXPECT_FALSE(p.peek_message(m, true));
  p.kill_timer();
  p.sleep(1000);
  EXPECT_TRUE(drain(p).empty());
}

TEST(HeadlessInput, EachActionPostsItsMessages) {
  HeadlessPlatform p{
      with_input("click 10 20\nrclick 30 40\nmove 5 6\nkey space\nkey enter\nmenu 40006\nclose\n")};
  using K = MessageKind;
  std::vector<std::vector<K>> kinds;
  std::vector<Message> last;
  while (p.begin_wait("click", false)) {
    std::vector<Message> got = drain(p);
    ASSERT_FALSE(got.empty());
    kinds.emplace_back();
    for (const Message& m : got) kinds.back().push_back(m.kind);
    last.push_back(got.back());
  }
  // The last wait found nothing left to deliver.
  EXPECT_EQ(kinds, (std::vector<std::vector<K>>{{K::MouseMove, K::LButtonDown, K::LButtonUp},
                                                {K::MouseMove, K::RButtonDown, K::RButtonUp},
                                                {K::MouseMove},
                                                {K::Char},
                                                {K::Char},
                                                {K::Command},
                                                {K::Close}}));
  ASSERT_EQ(last.size(), 7u);
  EXPECT_EQ(std::tuple(last[0].x, last[0].y, last[3].param, last[4].param, last[5].param),
            std::tuple(10, 20, 0x20u, 0x0Du, 40006u));
  int x = 0, y = 0;
  EXPECT_TRUE(p.pointer_position(x, y));
  EXPECT_EQ(std::pair(x, y), std::pair(5, 6));
  EXPECT_TRUE(p.begin_wait("delay", true)) << "a timed wait still ends on its own";
}

TEST(HeadlessInput, TimedEventsArriveWhenTheClockGetsThere) {
  HeadlessPlatform p{with_input("@100 key space\n+50 click 1 1\nkey enter\n")};
  p.sleep(99);
  EXPECT_TRUE(drain(p).empty());
  p.sleep(1);
  ASSERT_EQ(drain(p).size(), 1u);
  p.sleep(49);
  EXPECT_TRUE(drain(p).empty()) << "+50 counts from the delivery at 100";
  p.sleep(1);
  EXPECT_EQ(drain(p).size(), 3u);
  // The bare event waits for a wait, however long the clock runs.
  p.sleep(10000);
  EXPECT_TRUE(drain(p).empty());
  EXPECT_TRUE(p.begin_wait("click", false));
  EXPECT_EQ(drain(p).size(), 1u);
}

TEST(HeadlessInput, AnswersAndTypedTextGoToTheNextBoxOrDialog) {
  std::ostringstream trace;
  HeadlessPlatform p{with_input("answer no\ntype 山田 太郎\n", &trace)};
  EXPECT_EQ(p.message_box("終了確認", "終了しますか？", BoxButtons::YesNo), BoxAnswer::No);
  EXPECT_EQ(p.scripted_text_answer().value_or(""), "山田 太郎");
  EXPECT_FALSE(p.scripted_text_answer().has_value());
  EXPECT_EQ(p.message_box("t", "unanswered", BoxButtons::YesNo), BoxAnswer::Yes);
  EXPECT_EQ(p.message_box("t", "unanswered", BoxButtons::Ok), BoxAnswer::Ok);
  EXPECT_EQ(trace.str(),
            "0 msgbox \"終了確認\" \"終了しますか？\" no\n"
            "0 msgbox \"t\" \"unanswered\" yes\n"
            "0 msgbox \"t\" \"unanswered\" ok\n");
}

TEST(HeadlessInput, BadScriptsAreRefusedWithTheLine) {
  EXPECT_EQ(parse_input_script("# fine\n\nclick 1\n").error, "input line 3: expected X Y");
  EXPECT_EQ(parse_input_script("key insert").error, "input line 1: unknown key \"insert\"");
  EXPECT_EQ(parse_input_script("@x click 1 2").error, "input line 1: bad time \"@x\"");
  EXPECT_EQ(parse_input_script("jump 1 2").error, "input line 1: unknown action \"jump\"");
  EXPECT_EQ(parse_input_script("answer maybe").error, "input line 1: answer must be yes, no or ok");
  InputParseResult ok = parse_input_script("click 1 2 # comment\r\ntype a # b\n");
  ASSERT_EQ(ok.error, "");
  EXPECT_EQ(ok.events.at(1).text, "a # b") << "a type text keeps everything";
}

TEST(HeadlessTrace, StringsStayOnOneLine) {
  std::ostringstream trace;
  PlatformOptions options;
  options.trace = &trace;
  HeadlessPlatform p{options};
  p.message_box("a\"b", "c\\d\ne\r\n", BoxButtons::Ok);
  EXPECT_EQ(trace.str(), "0 msgbox \"a\\\"b\" \"c\\\\d\\ne\\r\\n\" ok\n");
}

TEST(HeadlessWindow, ScreenshotIsTheWindowSurfaceTopDown) {
  testing::GameDir dir;
  std::string path = (dir.path() / "shot.png").string();
  PlatformOptions options;
  options.screenshot_path = path;
  HeadlessPlatform p{options};
  // The top-left pixel lives in the last memory row: make it pure red.
  p.window_pixels()[(kWindowHeight - 1) * kWindowStride + 2] = 255;
  p.finish(0);

  FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_read_info(png, info);
  EXPECT_EQ(std::pair(png_get_image_width(png, info), png_get_image_height(png, info)),
            std::pair(640u, 480u));
  std::vector<uint8_t> row(640 * 3);
  png_read_row(png, row.data(), nullptr);
  EXPECT_EQ((std::array{row[0], row[1], row[2], row[3]}), (std::array<uint8_t, 4>{255, 0, 0, 0}))
      << "only the first pixel is red";
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
}

TEST(HeadlessWindow, ScrollMovesContentWithinTheArea) {
  HeadlessPlatform p{PlatformOptions{}};
  uint8_t* pixels = p.window_pixels();
  auto at = [pixels](int x, int y) {
    return pixels + (kWindowHeight - 1 - y) * kWindowStride + x * 3;
  };
  for (int y = 0; y < kWindowHeight; ++y) {
    for (int x = 0; x < kWindowWidth; ++x) at(x, y)[0] = static_cast<uint8_t>(x + y);
  }
  p.scroll_window(Rect{0, 0, 640, 480}, 3, -2);
  EXPECT_EQ(at(10, 10)[0], static_cast<uint8_t>(7 + 12));
  EXPECT_EQ(at(0, 0)[0], 0) << "uncovered columns keep their old pixels";
  p.scroll_window(Rect{0, 0, 640, 480}, -700, 0);  // further than the area: nothing
  EXPECT_EQ(at(10, 10)[0], static_cast<uint8_t>(7 + 12));
}

}  // namespace
}  // namespace vellumite
