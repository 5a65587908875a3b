// Image tags: the parser on its own, and loading a picture from a tag in a
// game folder, including the fatal errors.
#include "game/graphics/image_tag.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "game/engine.h"
#include "game/graphics/picture.h"
#include "graphics/bmp.h"
#include "graphics/graphics_state.h"
#include "platform/headless/headless_platform.h"
#include "support/game_runner.h"

namespace vellumite {
namespace {

ImageTag parse_ok(std::string_view text) {
  TagParse parsed = parse_image_tag(text);
  EXPECT_EQ(parsed.status, TagStatus::Ok) << text;
  return parsed.tag;
}

TEST(TagParse, AcceptedTags) {
  const struct {
    const char* text;
    int32_t mode, cells, interval, loop;
    const char* file;
  } cases[] = {
      {":l/3,160,2;cursor0.bmp", kTransLeftup, 3, 160, 2, "cursor0.bmp"},
      {":a;face.bmp", kTransAlpha, 1, 0, 0, "face.bmp"},
      {":c/4,<100,100,100,500>,0;anim.bmp", kTransCopy, 4, -1, 0, "anim.bmp"},
      {"bg.bmp", -1, 1, 0, 0, "bg.bmp"},
      {":x;pic.bmp", -1, 1, 0, 0, "pic.bmp"},  // not a mode letter
      {":L;p", -1, 1, 0, 0, "p"},              // mode letters are lower case
      {":/2,100,0;pic.bmp", -1, 2, 100, 0, "pic.bmp"},
      {": \tc;p", kTransCopy, 1, 0, 0, "p"},  // blanks before the mode
      // Anything up to a "/" is skipped, and after the loop mode up to ";".
      {":lxx/2,50,1yy;f.bmp", kTransLeftup, 2, 50, 1, "f.bmp"},
      // A later group replaces an earlier one.
      {":/3,<1,2,3>,1/2,40,2;f", -1, 2, 40, 2, "f"},
      // After the cell count and the timing, everything up to the next ",".
      {":/3abc,100ms,0;f", -1, 3, 100, 0, "f"},
      // Blanks and signs go to the number; the cursor moves past digits only.
      {":/ 3, 100, 2;f", -1, 3, 100, 2, "f"},
      {":! -7;p", kTransKey, 1, 0, 0, "p"},
      {":/1,99999999999,0;f", -1, 1, INT32_MAX, 0, "f"},  // saturates
      {":c;a;b.bmp", kTransCopy, 1, 0, 0, "a;b.bmp"},
      {":c;", kTransCopy, 1, 0, 0, ""},
  };
  for (const auto& c : cases) {
    ImageTag t = parse_ok(c.text);
    EXPECT_EQ(std::tie(t.trans_mode, t.cells, t.interval, t.loop_mode, t.file_name),
              std::tie(c.mode, c.cells, c.interval, c.loop, c.file))
        << c.text;
  }

  EXPECT_EQ(parse_ok(":c/4,<100,100,100,500>,0;anim.bmp").cell_intervals,
            (std::vector<int32_t>{100, 100, 100, 500}));
  EXPECT_EQ(parse_ok(":/2,<10,20>junk,1;f").cell_intervals, (std::vector<int32_t>{10, 20}));
  // Any one character separates intervals, even ";".
  EXPECT_EQ(parse_ok(":/3,<1;2 3>,0;f").cell_intervals, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_TRUE(parse_ok(":/3,<1,2,3>,1/2,40,2;f").cell_intervals.empty());

  // {tag, colour given, 0xRRGGBB, index given (8-bit pictures keep theirs otherwise), index}
  const std::tuple<const char*, bool, int, bool, int> keys[] = {
      {":#ff00FF;chr.bmp", true, 0xFF00FF, false, 0},
      {":!12/2,50,1;pic.bmp", false, 0, true, 12},
      {":! -7;p", false, 0, true, -7},
      {":!;p", false, 0, true, 0}};
  for (const auto& [text, color_given, rgb, index_given, index] : keys) {
    ImageTag t = parse_ok(text);
    EXPECT_EQ(t.trans_mode, kTransKey) << text;
    EXPECT_EQ(std::tuple(t.key_color_given, static_cast<int>(t.key_colour.rgb()), t.key_index_given,
                         t.key_index),
              std::tuple(color_given, rgb, index_given, index))
        << text;
  }

  EXPECT_FALSE(parse_ok("bg.bmp").has_settings);
  EXPECT_FALSE(parse_ok(":;p").has_settings);
  EXPECT_TRUE(parse_ok(":c;p").has_settings);
  // The text ends at a NUL byte; 255 bytes is the longest tag.
  EXPECT_EQ(parse_ok(std::string_view("pic.bmp\0junk", 12)).file_name, "pic.bmp");
  EXPECT_EQ(parse_ok(":c;" + std::string(252, 'x')).file_name.size(), 252u);
}

TEST(TagParse, MalformedTagsAreRejected) {
  const std::string bad[] = {
      ":c/3,<100,200>,0;x.bmp",  // fewer intervals than cells
      ":/2,<1,2,3>,0;x.bmp",     // the last interval not followed by ">"
      ":/2,<1, 2>,0;x.bmp",      // the blank is the separator, so "2" is not last
      ":/3;x.bmp",               // no "," after the cell count
      ":/3,100;x.bmp",           // no "," after the timing
      ":/3,<1,2",                // the text ends inside the list
      ":l/3,160,2",              // ":" without ";"
      ":",
      ":/0,100,0;x.bmp",  // no cells
      ":/-2,100,0;x.bmp",
      ":/x,100,0;x.bmp",
      ":/2000000000,<1,2,3>,0;x",  // a huge count cannot make the list grow past the text
      ":c;" + std::string(253, 'x'),
      std::string(256, 'x'),
  };
  for (const std::string& text : bad) {
    EXPECT_EQ(parse_image_tag(text).status, TagStatus::Malformed) << text;
  }
  TagParse color = parse_image_tag(":#12345g;x.bmp");
  EXPECT_EQ(color.status, TagStatus::BadColor);
  EXPECT_EQ(color.color_at, 2u);
  EXPECT_EQ(parse_image_tag(":#123").status, TagStatus::BadColor);
}

// A game folder made the current directory for one test, and an engine on
// the headless platform whose trace shows the message boxes.
class TagLoad : public ::testing::Test {
 protected:
  TagLoad() : platform_(options()), engine_(platform_) {}

  PlatformOptions options() {
    PlatformOptions o;
    o.quiet = true;
    o.trace = &trace_;
    return o;
  }

  void write_picture(const std::string& name, int width, int height, int bits = 24) {
    Surface s;
    ASSERT_TRUE(create_blank(s, width, height, bits));
    dir_.write_bytes(name, encode_bmp(s));
  }

  // Loads and returns the text of the fatal message box, or "" when the load
  // did not end the program.
  std::string load(Picture& picture, std::string_view tag) {
    try {
      load_picture_from_tag(engine_, picture, tag);
    } catch (const ProgramExit&) {
      return trace_.str();
    }
    return "";
  }

  testing::GameDir dir_;
  testing::InDir in_dir_{dir_};
  std::ostringstream trace_;
  HeadlessPlatform platform_;
  Engine engine_;
};

TEST_F(TagLoad, AppliesTheTagAndReadsTheFile) {
  write_picture("cursor0.bmp", 90, 10);
  platform_.sleep(500);
  Picture p;
  p.key_index = 42;
  ASSERT_EQ(load(p, ":l/3,160,2;cursor0.bmp"), "");
  ASSERT_FALSE(p.empty());
  // Cells 30 wide; the animation starts at the time of loading.
  EXPECT_EQ(std::tuple(p.trans_mode, p.cells, p.interval, p.loop_mode, cell_width(p), p.anim_time),
            std::tuple(kTransLeftup, 3, 160, 2, 30, 500u));

  // Loading again starts from the defaults; the key index stays.
  p.alpha = 100;
  p.cell = 2;
  ASSERT_EQ(load(p, "CURSOR0.BMP"), "");
  EXPECT_EQ(std::tuple(p.trans_mode, p.cells, p.cell, p.alpha, p.anim_time, p.key_index),
            std::tuple(kTransLeftup, 1, 0, -1, 0u, 42));

  // After `transmode copy` a plain tag loads opaque; the extension is
  // compared in lower case.
  write_picture("PIC.BMP", 4, 4, 8);
  engine_.graphics.default_trans_mode = kTransCopy;
  ASSERT_EQ(load(p, "pic.bmp"), "");
  EXPECT_EQ(p.trans_mode, kTransCopy);
  EXPECT_EQ(p.surface.bit_count(), 8);
  ASSERT_EQ(load(p, ":x;PIC.BMP"), "");
  EXPECT_EQ(p.trans_mode, kTransCopy);

  write_picture("face.bmp", 200, 100);
  ASSERT_EQ(load(p, ":a/2,100,0;face.bmp"), "");
  EXPECT_EQ(cell_width(p), 50);
}

TEST_F(TagLoad, MissingFilesAndUnknownExtensionsAreQuiet) {
  Picture p;
  create_blank(p, 3, 3, 24);
  ASSERT_EQ(load(p, ":c;nothere.bmp"), "");
  EXPECT_TRUE(p.empty());
  EXPECT_EQ(p.trans_mode, kTransCopy);

  for (const char* name : {"pic.png", "noextension"}) {
    dir_.write_bytes(name, "whatever");
    ASSERT_EQ(load(p, name), "");
    EXPECT_TRUE(p.empty()) << name;
  }

  // The engine's own pictures get a 1x1 black stand-in, with the tag's
  // settings; a file without a reader stays empty even then.
  engine_.graphics.placeholder_on_missing = true;
  ASSERT_EQ(load(p, ":l/3,160,2;uoncur.bmp"), "");
  ASSERT_FALSE(p.empty());
  EXPECT_EQ(std::tuple(p.surface.width, p.surface.height, p.surface.bit_count(), p.cells),
            std::tuple(1, 1, 24, 3));
  EXPECT_EQ(p.surface.bits[0] | p.surface.bits[1] | p.surface.bits[2], 0);
  ASSERT_EQ(load(p, "pic.png"), "");
  EXPECT_TRUE(p.empty());
  EXPECT_EQ(trace_.str().find("msgbox"), std::string::npos);
}

TEST_F(TagLoad, FatalErrorsNameTheirCause) {
  dir_.write_bytes("broken.bmp", "BM but nothing after it");
  // A bad key colour is the colour reader's error, not a tag error.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"broken.bmp", "エラー", "ロード失敗!"},
      {":c/3,<100,200>,0;x.bmp", "タグエラー", "タグの指定がおかしいです。"},
      {":#12zz56;x.bmp", "構文エラー", "カラー指定が間違っています。"}};
  for (const auto& [tag, title, text] : cases) {
    trace_.str("");
    Picture p;
    const std::string box = load(p, tag);
    EXPECT_NE(box.find("msgbox \"" + std::string(title) + "\""), std::string::npos) << box;
    EXPECT_NE(box.find(text), std::string::npos) << box;
  }
}

}  // namespace
}  // namespace vellumite
