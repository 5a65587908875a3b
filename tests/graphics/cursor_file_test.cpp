// The pointer-file reader: what it makes of each kind of picture, which
// picture of several it takes, and that no file makes it read outside the
// bytes it was given.
#include "graphics/cursor_file.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "support/cursor_files.h"

namespace vellumite::testing {
namespace {

// Decodes a copy held in a buffer of exactly its size, so that the
// sanitizers see a read past the end.
std::optional<PointerImage> decode(const std::string& bytes) {
  const std::vector<uint8_t> exact(bytes.begin(), bytes.end());
  return decode_pointer_file(exact);
}

// Pixel i (row by row) as 0xAARRGGBB.
uint32_t argb(const PointerImage& image, size_t i) {
  const uint8_t* p = image.bgra.data() + i * 4;
  return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

struct Case {
  const char* what;
  std::string file;
  std::vector<uint32_t> pixels;   // 0xAARRGGBB, top down
  int32_t width = 2, height = 2;  // the hot spot is (1, 1) in every case
};

CursorPicture picture(uint16_t bits, std::vector<uint32_t> pixels, std::vector<uint8_t> mask = {},
                      std::vector<uint32_t> palette = {}) {
  return {.bits = bits,
          .palette = std::move(palette),
          .pixels = std::move(pixels),
          .mask = std::move(mask),
          .hot_x = 1,
          .hot_y = 1};
}

TEST(CursorFile, DecodesEachKindOfPicture) {
  const std::vector<uint32_t> argb4 = {0x80FF0000, 0x00000000, 0xFF00FF00, 0xFF0000FF};
  CursorPicture no_mask = picture(32, argb4);
  no_mask.omit_mask = true;
  CursorPicture wide = picture(8, std::vector<uint32_t>(33 * 2, 1), {}, {0, 0x123456});
  wide.width = 33;
  CursorPicture far_hot = picture(24, {0x102030, 0x405060, 0x708090, 0xA0B0C0});
  far_hot.hot_x = 40;
  far_hot.hot_y = 7;
  CursorPicture icon = picture(24, {1, 2, 3, 4});
  icon.hot_x = icon.hot_y = 0;
  const std::vector<Case> cases = {
      {"32-bit alpha wins over the mask", cursor_file({picture(32, argb4, {1, 1, 1, 1})}), argb4},
      {"32-bit alpha without a mask", cursor_file({no_mask}), argb4},
      {"32-bit without alpha takes the mask",
       cursor_file({picture(32, {0x112233, 0, 0x445566, 0x778899}, {0, 1, 0, 1})}),
       {0xFF112233, 0x00000000, 0xFF445566, 0xFF000000}},
      {"1-bit: white, transparent, inverting (black), white",
       cursor_file({picture(1, {1, 0, 1, 1}, {0, 1, 1, 0}, {0x000000, 0xFFFFFF})}),
       {0xFFFFFFFF, 0x00000000, 0xFF000000, 0xFFFFFFFF}},
      {"4-bit through the palette",
       cursor_file({picture(4, {2, 1, 0, 2}, {}, {0x000000, 0xFF0000, 0x00FF00})}),
       {0xFF00FF00, 0xFFFF0000, 0xFF000000, 0xFF00FF00}},
      {"8-bit index past a short palette is black",
       cursor_file({picture(8, {0, 1, 2, 200}, {}, {0x0000FF, 0xABCDEF})}),
       {0xFF0000FF, 0xFFABCDEF, 0xFF000000, 0xFF000000}},
      {"24-bit, hot spot held inside the picture",
       cursor_file({far_hot}),
       {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0}},
      {"an icon points with its centre",
       cursor_file({icon}, 1),
       {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004}},
      {"rows padded past 32 pixels", cursor_file({wide}), std::vector<uint32_t>(66, 0xFF123456),
       33},
      {"an animated pointer shows its first frame",
       animated_cursor(
           {cursor_file({picture(24, {5, 6, 7, 8})}), cursor_file({picture(24, {9, 9, 9, 9})})}),
       {0xFF000005, 0xFF000006, 0xFF000007, 0xFF000008}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<PointerImage> image = decode(c.file);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ((std::array{image->width, image->height, image->hot_x, image->hot_y}),
              (std::array{c.width, c.height, 1, 1}));
    ASSERT_EQ(image->bgra.size(), c.pixels.size() * 4);
    for (size_t i = 0; i < c.pixels.size(); ++i) EXPECT_EQ(argb(*image, i), c.pixels[i]) << i;
  }
}

TEST(CursorFile, TakesThePictureNearestThirtyTwoThenTheMostColours) {
  const auto sized = [](int32_t side, uint16_t bits, uint32_t colour) {
    CursorPicture p;
    p.width = p.height = side;
    p.bits = bits;
    p.pixels.assign(static_cast<size_t>(side * side), bits <= 8 ? 1 : colour);
    if (bits <= 8) p.palette = {0, colour};
    return p;
  };
  const std::optional<PointerImage> image =
      decode(cursor_file({sized(16, 32, 0x111111), sized(32, 8, 0x222222), sized(32, 24, 0x333333),
                          sized(48, 32, 0x444444)}));
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 32);
  EXPECT_EQ(argb(*image, 0), 0xFF333333u);
}

// Writes a 32-bit offset or size into a copy of `file`.
std::string with32(std::string file, size_t at, uint32_t value) {
  std::string v;
  put32(v, value);
  file.replace(at, 4, v);
  return file;
}

TEST(CursorFile, RefusesWhatDoesNotFit) {
  const std::string good = cursor_file({picture(24, {1, 2, 3, 4})});
  const std::string frame = cursor_file({picture(24, {1, 2, 3, 4})});
  std::string png = good;
  png.replace(22, 8, "\x89PNG\r\n\x1a\n");
  std::string overrun = animated_cursor({frame});
  overrun = with32(overrun, overrun.find("LIST") + 4, 1000);
  const std::vector<std::pair<const char*, std::string>> bad = {
      {"more entries than the file holds", with32(good, 4, 0x00000009) /* count 9 */},
      {"picture offset past the end", with32(good, 18, 0xFFFFFFF0)},
      {"picture size past the end", with32(good, 14, 0x7FFFFFFF)},
      {"width above 256", with32(good, 22 + 4, 257)},
      {"negative height", with32(good, 22 + 8, 0xFFFFFFFC)},
      {"a PNG picture", png},
      {"an animated pointer whose frames are bare bitmaps", animated_cursor({frame}, 0)},
      {"a chunk longer than the file", overrun},
  };
  for (const auto& [what, file] : bad) EXPECT_FALSE(decode(file).has_value()) << what;
}

// Every shortened copy and every copy with one byte changed is read within
// its bytes (the sanitizers watch) and gives nothing or a whole picture.
TEST(CursorFile, DamagedFilesStayWithinTheirBytes) {
  CursorPicture p = picture(8, {0, 1, 2, 3}, {0, 1, 0, 1}, {0x10, 0x20, 0x30, 0x40});
  const std::vector<std::string> files = {
      cursor_file({p, picture(32, {1, 2, 3, 4})}),
      animated_cursor({cursor_file({p})}),
  };
  const auto check = [](const std::string& bytes) {
    const std::optional<PointerImage> image = decode(bytes);
    if (!image) return;
    EXPECT_GE(image->width, 1);
    EXPECT_LE(image->width, kMaxPointerSide);
    EXPECT_EQ(image->bgra.size(), static_cast<size_t>(image->width) * image->height * 4);
  };
  for (const std::string& file : files) {
    for (size_t n = 0; n < file.size(); ++n) {
      check(file.substr(0, n));
      for (char v : {'\x00', '\x7F', '\xFF'}) {
        std::string changed = file;
        changed[n] = v;
        check(changed);
      }
    }
  }
}

}  // namespace
}  // namespace vellumite::testing
