// The pure parts of gauges, numbers, quakes and bw2a: the gauge's filled
// width, the number's text, the quake's frames and the alpha picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/graphics/gauges.h"
#include "game/graphics/quake.h"
#include "graphics/alpha_tool.h"
#include "support/pixels.h"

namespace vellumite::testing {
namespace {

TEST(Gauges, FilledWidthAndNumberText) {
  struct Fill {
    int32_t value, w, max;
    int64_t filled;
  };
  for (const Fill& f : std::vector<Fill>{{50, 200, 100, 100},
                                         {0, 200, 100, 0},
                                         {150, 100, 100, 150},  // above max: past w
                                         {-7, 3, 2, -10},       // toward zero
                                         {2147483647, 2147483647, 1, 4611686014132420609}}) {
    EXPECT_EQ(gauge_fill(f.value, f.w, f.max), f.filled) << f.value << " " << f.w << " " << f.max;
  }
  for (const auto& [value, text] : std::vector<std::pair<int32_t, std::string>>{
           {7, "  7"}, {-5, " -5"}, {123, "123"}, {-12, "-12"}, {1234, "1234"}}) {
    EXPECT_EQ(number_text(value), text);
  }
}

TEST(Quake, FramesShrinkRoundByRound) {
  // count 2: amplitudes 32 then 16 across, 24 then 12 down; 16 frames a round.
  for (const auto& [unit, a] : std::vector<std::pair<int64_t, int64_t>>{{4, 32}, {3, 24}}) {
    std::vector<int64_t> offsets;
    quake_offsets(2, unit, [&](int64_t at) { offsets.push_back(at); });
    const int64_t b = a / 2;
    const std::vector<int64_t> want = {
        0, a / 4,  a / 2,  3 * a / 4,  a,  3 * a / 4,  a / 2,  a / 4,
        0, -a / 4, -a / 2, -3 * a / 4, -a, -3 * a / 4, -a / 2, -a / 4,  // round 2
        0, b / 4,  b / 2,  3 * b / 4,  b,  3 * b / 4,  b / 2,  b / 4,
        0, -b / 4, -b / 2, -3 * b / 4, -b, -3 * b / 4, -b / 2, -b / 4};  // round 1
    EXPECT_EQ(offsets, want) << "unit " << unit;
  }
}

// A 24-bit surface of w x h filled by `colour(x, y)` (0xRRGGBB).
template <typename F>
Surface surface(int32_t w, int32_t h, F colour) {
  Surface s;
  create_blank(s, w, h, 24);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t c = colour(x, y);
      uint8_t* p = s.row(y) + x * 3;
      p[0] = c & 0xFF;
      p[1] = c >> 8 & 0xFF;
      p[2] = c >> 16 & 0xFF;
    }
  }
  return s;
}

TEST(AlphaTool, MaskValue) {
  struct Pixel {
    uint32_t black, white;
    uint8_t mask;
  };
  for (const Pixel& p : std::vector<Pixel>{
           {0x123456, 0x123456, 0},    // the same on both: opaque
           {0x000000, 0xFFFFFF, 255},  // nothing there
           {0x000000, 0x808080, 128},  // half see-through
           {0x102030, 0x405060, 48},   // (0x40+0x50+0x60 - 0x10-0x20-0x30) / 3
           {0x000000, 0x000001, 0},    // a sum of 1 rounds down
           {0xFFFFFF, 0x000000, 0},    // brighter on black: opaque, not wrapped
       }) {
    const uint8_t b[3] = {static_cast<uint8_t>(p.black), static_cast<uint8_t>(p.black >> 8),
                          static_cast<uint8_t>(p.black >> 16)};
    const uint8_t w[3] = {static_cast<uint8_t>(p.white), static_cast<uint8_t>(p.white >> 8),
                          static_cast<uint8_t>(p.white >> 16)};
    EXPECT_EQ(alpha_mask_value(b, w), p.mask) << std::hex << p.black << " " << p.white;
  }
}

TEST(AlphaTool, TrimsEmptyColumnPairsAndTopRows) {
  // 40 x 30: an object at columns 10..29 of rows 5..29, red on both
  // renderings, with one half see-through pixel at (12, 6); empty
  // elsewhere (black on black, white on white).
  const auto inside = [](int32_t x, int32_t y) { return x >= 10 && x < 30 && y >= 5; };
  const Surface black = surface(40, 30, [&](int32_t x, int32_t y) -> uint32_t {
    return inside(x, y) ? (x == 12 && y == 6 ? 0x400000 : 0xFF0000) : 0x000000;
  });
  const Surface white = surface(40, 30, [&](int32_t x, int32_t y) -> uint32_t {
    return inside(x, y) ? (x == 12 && y == 6 ? 0xC08080 : 0xFF0000) : 0xFFFFFF;
  });
  const std::optional<Surface> out = make_alpha_picture(black, white);
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(out->width, 2 * (40 - 20));
  EXPECT_EQ(out->height, 30 - 5);
  EXPECT_EQ(out->bit_count(), 24);
  EXPECT_EQ(rgb_at(*out, 0, 0), 0xFF0000u);    // colour half
  EXPECT_EQ(rgb_at(*out, 20, 0), 0x000000u);   // its mask: opaque
  EXPECT_EQ(rgb_at(*out, 2, 1), 0x400000u);    // the see-through pixel
  EXPECT_EQ(rgb_at(*out, 22, 1), 0x808080u);   // (0xC0+0x80+0x80-0x40)/3
  EXPECT_EQ(rgb_at(*out, 39, 24), 0x000000u);  // bottom row kept
}

TEST(AlphaTool, KeepsOnePixelAndRefusesMismatches) {
  const auto black = [](int32_t, int32_t) -> uint32_t { return 0x000000; };
  const auto white = [](int32_t, int32_t) -> uint32_t { return 0xFFFFFF; };
  // Wholly transparent: one column of each half and one row stay.
  for (const auto& [w, kept] : std::vector<std::pair<int32_t, int32_t>>{{8, 2}, {7, 1}}) {
    const std::optional<Surface> out =
        make_alpha_picture(surface(w, 5, black), surface(w, 5, white));
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->width, 2 * kept);
    EXPECT_EQ(out->height, 1);
  }
  EXPECT_FALSE(make_alpha_picture(surface(8, 5, black), surface(8, 6, white)).has_value());
  EXPECT_FALSE(make_alpha_picture(Surface{}, surface(8, 5, white)).has_value());
}

}  // namespace
}  // namespace vellumite::testing
