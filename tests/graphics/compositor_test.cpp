// The pixel compositor: every transparency mode with and without a constant
// opacity, the key rules, the alpha mask, 8-bit pictures and clipping.
#include "graphics/compositor.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <tuple>

#include "game/graphics/picture.h"

namespace vellumite {
namespace {

using Bgr = std::array<int, 3>;

Bgr at(const Picture& p, int x, int y) {
  const uint8_t* px = p.surface.row(y) + static_cast<size_t>(x) * 3;
  return {px[0], px[1], px[2]};
}

void put(Picture& p, int x, int y, Bgr c) {
  uint8_t* px = p.surface.row(y) + static_cast<size_t>(x) * 3;
  for (int k = 0; k < 3; ++k) px[k] = static_cast<uint8_t>(c[static_cast<size_t>(k)]);
}

Picture screen_of(Bgr c) {
  Picture p;
  EXPECT_TRUE(create_blank(p, 640, 480, 24));
  fill_picture(
      p, 0, 0, 640, 480,
      {static_cast<uint8_t>(c[2]), static_cast<uint8_t>(c[1]), static_cast<uint8_t>(c[0])});
  return p;
}

Picture solid(int w, int h, Bgr c, int32_t mode) {
  Picture p;
  EXPECT_TRUE(create_blank(p, w, h, 24));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) put(p, x, y, c);
  p.trans_mode = mode;
  return p;
}

// Each weighted channel is floored on its own.
int blend(int s, int d, int a) { return s * a / 255 + d * (255 - a) / 255; }

Bgr blend(Bgr s, Bgr d, int a) {
  return {blend(s[0], d[0], a), blend(s[1], d[1], a), blend(s[2], d[2], a)};
}

const Bgr kDest{10, 100, 200};
const Bgr kSrc{240, 30, 77};

// Expects each (x, y) of `p` to hold its colour.
void expect_at(const Picture& p, std::initializer_list<std::tuple<int, int, Bgr>> want) {
  for (const auto& [x, y, c] : want) EXPECT_EQ(at(p, x, y), c) << x << "," << y;
}

// `src` drawn at (x, y) on a fresh screen of kDest.
Picture drawn(const Picture& src, int x = 0, int y = 0, const Rect* clip = nullptr) {
  Picture dst = screen_of(kDest);
  draw_picture(src, dst, clip, x, y);
  return dst;
}

TEST(CompDraw, CopyModeOpaqueAndTranslucent) {
  Picture dst = screen_of(kDest);
  Picture src = solid(4, 3, kSrc, kTransCopy);
  draw_picture(src, dst, nullptr, 5, 6);
  expect_at(dst, {{5, 6, kSrc}, {8, 8, kSrc}, {9, 8, kDest}, {8, 9, kDest}, {4, 6, kDest}});

  src.alpha = 100;
  dst = drawn(src);
  EXPECT_EQ(at(dst, 1, 1), blend(kSrc, kDest, 100));
  // Opacity 0 leaves the destination as it was (T[d][255] = d).
  src.alpha = 0;
  dst = drawn(src);
  EXPECT_EQ(at(dst, 1, 1), kDest);
  src.alpha = 255;
  draw_picture(src, dst, nullptr, 0, 0);
  EXPECT_EQ(at(dst, 1, 1), kSrc);
}

TEST(CompDraw, KeyColourFromTheWholeImageOrTheTag) {
  // Two cells of 3x2; the image's top-left pixel is the key, also for cell 1
  // whose own top-left pixel differs.
  const Bgr key{1, 2, 3}, other{50, 60, 70};
  Picture src = solid(6, 2, kSrc, kTransLeftup);
  src.cells = 2;
  put(src, 0, 0, key);
  put(src, 4, 1, key);    // cell 1, column 1, row 1
  put(src, 3, 0, other);  // cell 1's own top-left
  src.cell = 1;
  Picture dst = drawn(src);
  EXPECT_EQ(at(dst, 0, 0), other);
  EXPECT_EQ(at(dst, 1, 1), kDest);  // the key is skipped
  EXPECT_EQ(at(dst, 2, 1), kSrc);

  src.alpha = 64;
  dst = drawn(src);
  EXPECT_EQ(at(dst, 1, 1), kDest);
  EXPECT_EQ(at(dst, 2, 1), blend(kSrc, kDest, 64));

  // Mode 2: the key comes from the tag; the top-left colour is drawn.
  src.trans_mode = kTransKey;
  src.alpha = -1;
  src.key_colour = Colour::from_rgb(static_cast<uint32_t>(kSrc[2] << 16 | kSrc[1] << 8 | kSrc[0]));
  dst = drawn(src);
  expect_at(dst, {{2, 1, kDest}, {1, 1, key}, {0, 0, other}});
  // All three bytes must match.
  src.key_colour.red = static_cast<uint8_t>(kSrc[2] + 1);
  draw_picture(src, dst, nullptr, 0, 0);
  EXPECT_EQ(at(dst, 2, 1), kSrc);
}

TEST(CompDraw, AlphaMaskHalf) {
  // Two cells of 4 columns: colour half 2 wide, mask half 2 wide.
  Picture src = solid(8, 1, kSrc, kTransAlpha);
  src.cells = 2;
  auto mask = [&](int x, int m) { put(src, x, 0, {m, 255 - m, 7}); };  // only blue counts
  mask(2, 0);
  mask(3, 255);
  mask(6, 128);
  mask(7, 1);
  Picture dst = drawn(src);
  EXPECT_EQ(at(dst, 0, 0), kSrc);   // black mask: opaque
  EXPECT_EQ(at(dst, 1, 0), kDest);  // white mask: transparent
  EXPECT_EQ(at(dst, 2, 0), kDest);  // only the cell's width is drawn

  src.cell = 1;
  dst = drawn(src);
  // Mid-grey 128: d = T[s][127] + T[d][128].
  EXPECT_EQ(at(dst, 0, 0), blend(kSrc, kDest, 127));
  EXPECT_EQ(at(dst, 1, 0), blend(kSrc, kDest, 254));

  // With a constant opacity A the weight is T[255 - m][A].
  src.alpha = 200;
  dst = drawn(src);
  EXPECT_EQ(at(dst, 0, 0), blend(kSrc, kDest, 127 * 200 / 255));
  EXPECT_EQ(at(dst, 1, 0), blend(kSrc, kDest, 254 * 200 / 255));

  // A clipped draw still finds the mask a cell width to the right.
  src.alpha = -1;
  dst = drawn(src, -1, 0);
  EXPECT_EQ(at(dst, 0, 0), blend(kSrc, kDest, 254));
}

// Hundreds of partial runs in one draw: every second column of a 64x10
// picture mid-grey, the others transparent.
TEST(CompDraw, ManyPartialRuns) {
  Picture src = solid(128, 10, kSrc, kTransAlpha);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 64; ++x) put(src, 64 + x, y, x % 2 == 0 ? Bgr{128, 0, 0} : Bgr{255, 0, 0});
  const Picture dst = drawn(src);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 64; ++x)
      ASSERT_EQ(at(dst, x, y), x % 2 == 0 ? blend(kSrc, kDest, 127) : kDest) << x << "," << y;
  }
}

Picture paletted(int w, int h) {
  Picture p;
  EXPECT_TRUE(create_blank(p, w, h, 8));
  for (int i = 0; i < 256; ++i) {
    PaletteEntry& c = p.surface.color_table[static_cast<size_t>(i)];
    c.blue = static_cast<uint8_t>(i);
    c.green = static_cast<uint8_t>(255 - i);
    c.red = 9;
  }
  // Index 5 and index 6 have the same colour: only the index is the key.
  p.surface.color_table[6] = p.surface.color_table[5];
  return p;
}

TEST(CompDraw, PalettedPictures) {
  Picture src = paletted(3, 1);
  src.surface.row(0)[0] = 5;
  src.surface.row(0)[1] = 6;
  src.surface.row(0)[2] = 200;
  const Bgr five{5, 250, 9}, two_hundred{200, 55, 9};

  src.trans_mode = kTransCopy;
  Picture dst = drawn(src);
  EXPECT_EQ(at(dst, 0, 0), five);
  EXPECT_EQ(at(dst, 2, 0), two_hundred);

  src.trans_mode = kTransLeftup;
  src.alpha = 90;
  dst = drawn(src);
  EXPECT_EQ(at(dst, 0, 0), kDest);
  EXPECT_EQ(at(dst, 1, 0), blend(five, kDest, 90));  // same colour, other index

  src.trans_mode = kTransKey;
  src.key_index = 200;
  src.alpha = -1;
  dst = drawn(src);
  EXPECT_EQ(at(dst, 0, 0), five);
  EXPECT_EQ(at(dst, 2, 0), kDest);

  // No mask in 8-bit pictures, and no other depths: nothing is drawn.
  src.trans_mode = kTransAlpha;
  dst = drawn(src);
  EXPECT_EQ(at(dst, 0, 0), kDest);
  for (int bits : {32, 4}) {
    Picture other;
    ASSERT_TRUE(create_blank(other, 2, 2, bits));
    other.trans_mode = kTransCopy;
    EXPECT_EQ(at(drawn(other), 0, 0), kDest) << bits;
  }
}

// A 100x100 picture whose pixel (x, y) is (x, y, 33).
Picture gradient() {
  Picture p;
  EXPECT_TRUE(create_blank(p, 100, 100, 24));
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) put(p, x, y, {x, y, 33});
  p.trans_mode = kTransCopy;
  return p;
}

TEST(CompClip, EveryEdgeAndNegativePositions) {
  const Picture src = gradient();
  Picture dst = drawn(src, -10, -20);
  expect_at(dst,
            {{0, 0, Bgr{10, 20, 33}}, {89, 79, Bgr{99, 99, 33}}, {90, 0, kDest}, {0, 80, kDest}});

  dst = drawn(src, 600, 450);
  EXPECT_EQ(at(dst, 639, 479), (Bgr{39, 29, 33}));
  EXPECT_EQ(at(dst, 600, 450), (Bgr{0, 0, 33}));
  EXPECT_EQ(at(dst, 0, 451), kDest);  // nothing wraps into the next row

  // A clip rectangle: a negative left or top counts as 0.
  dst = screen_of(kDest);
  Rect clip{-50, -50, 21, 31};
  draw_picture(src, dst, &clip, -5, 10);
  expect_at(dst,
            {{0, 10, Bgr{5, 0, 33}}, {20, 30, Bgr{25, 20, 33}}, {21, 30, kDest}, {20, 31, kDest}});
  clip = Rect{30, 40, 1001, 1001};
  dst = drawn(src, 0, 0, &clip);
  expect_at(
      dst,
      {{29, 50, kDest}, {50, 39, kDest}, {30, 40, Bgr{30, 40, 33}}, {99, 99, Bgr{99, 99, 33}}});

  // Nothing at all, and no fault, for far-off positions or an empty clip.
  dst = screen_of(kDest);
  const int32_t big = std::numeric_limits<int32_t>::max(),
                small = std::numeric_limits<int32_t>::min();
  draw_picture(src, dst, nullptr, big, big);
  draw_picture(src, dst, nullptr, small, small);
  draw_picture(src, dst, nullptr, 640, 0);
  draw_picture(src, dst, nullptr, -100, 0);
  clip = Rect{100, 100, 100, 201};
  draw_picture(src, dst, &clip, 100, 100);
  for (int y : {0, 100, 479})
    for (int x : {0, 100, 639}) EXPECT_EQ(at(dst, x, y), kDest) << x << "," << y;
}

}  // namespace
}  // namespace vellumite
