// The glyph renderer and the font choice. The fonts are whatever Japanese
// fonts are installed, so expectations about drawn characters only ask
// where coverage is present or absent, never for exact bytes.
#include "text/glyph_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "base/sjis.h"
#include "text/font_match.h"

namespace vellumite {
namespace {

using Bytes = std::vector<uint8_t>;

const std::string kMsGothic = to_sjis("ＭＳ ゴシック");
constexpr uint16_t kA = 0x82A0;          // あ
constexpr uint16_t kKanji = 0x8ABF;      // 漢
constexpr uint16_t kIdeoSpace = 0x8140;  // full-width space
constexpr uint16_t kLowLine = 0x8151;    // ＿
constexpr uint16_t kOverline = 0x8150;   // ￣

// Coverage as a plain copy, so that it outlives the next render call.
Bytes draw(GlyphRenderer& renderer, int w, int h, bool bold, uint16_t code,
           const std::string& face = kMsGothic) {
  auto span = renderer.render(face, w, h, bold, code);
  return Bytes(span.begin(), span.end());
}

int sum(const Bytes& b) {
  int total = 0;
  for (uint8_t v : b) total += v;
  return total;
}

int covered(const Bytes& b) {
  return static_cast<int>(std::count_if(b.begin(), b.end(), [](uint8_t v) { return v != 0; }));
}

// Sum of coverage in the columns [x0, x1) and rows [y0, y1) of a w-wide cell.
int region(const Bytes& b, int w, int x0, int x1, int y0, int y1) {
  int total = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) total += b[static_cast<size_t>(y * w + x)];
  }
  return total;
}

struct Extent {
  int left = -1, right = -1, top = -1, bottom = -1;
  int width() const { return left < 0 ? 0 : right - left + 1; }
  int height() const { return top < 0 ? 0 : bottom - top + 1; }
  double mid_row() const { return (top + bottom) / 2.0; }
};

Extent extent(const Bytes& b, int w, int h) {
  Extent e;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!b[static_cast<size_t>(y * w + x)]) continue;
      if (e.left < 0 || x < e.left) e.left = x;
      if (x > e.right) e.right = x;
      if (e.top < 0) e.top = y;
      e.bottom = y;
    }
  }
  return e;
}

TEST(GlyphReduce, WeighsEachBlockOneTwoOneAndShiftsByFour) {
  // One cell: single pixels at each kernel position, and the full block.
  auto one = [](int x, int y, uint8_t v) {
    Bytes large(9, 0);
    large[static_cast<size_t>(y * 3 + x)] = v;
    Bytes out(1, 0xAA);
    EXPECT_TRUE(reduce_3x(large, 1, 1, out));
    return out[0];
  };
  // {x, y, value, result}: 4 * 255 >> 4, 2 * 255 >> 4, 255 >> 4, 15 >> 4, 16 >> 4
  const std::array<int, 4> ones[] = {{1, 1, 255, 63}, {0, 1, 255, 31}, {1, 0, 255, 31},
                                     {2, 2, 255, 15}, {0, 0, 15, 0},   {1, 1, 4, 1}};
  for (auto [x, y, v, want] : ones) EXPECT_EQ(one(x, y, uint8_t(v)), want) << x << "," << y;
  Bytes out(1);
  for (auto [block, want] : {std::pair{Bytes(9, 255), 255},                      // 16 * 255 >> 4
                             {Bytes{100, 0, 100, 0, 0, 0, 100, 0, 100}, 25}}) {  // 400 >> 4
    ASSERT_TRUE(reduce_3x(block, 1, 1, out));
    EXPECT_EQ(out[0], want);
  }

  // Three cells by two: blocks do not bleed into each other and the rows of
  // the large picture are 3 * width apart.
  const int w = 3, h = 2;
  Bytes large(static_cast<size_t>(9 * w * h), 0);
  auto set = [&](int x, int y, uint8_t v) { large[static_cast<size_t>(y * 3 * w + x)] = v; };
  for (int y = 0; y < 3; ++y) {
    for (int x = 3; x < 6; ++x) set(x, y, 255);  // cell (1, 0) white
  }
  set(7, 4, 255);  // centre of cell (2, 1)
  set(0, 5, 255);  // bottom-left corner of cell (0, 1)
  Bytes cells(static_cast<size_t>(w * h), 0xAA);
  ASSERT_TRUE(reduce_3x(large, w, h, cells));
  EXPECT_EQ(cells, (Bytes{0, 255, 0, 15, 0, 63}));

  // Nonsense sizes and short buffers are refused and leave the output alone.
  Bytes untouched(6, 7);
  EXPECT_FALSE(reduce_3x(large, 0, 2, untouched));
  EXPECT_FALSE(reduce_3x(large, 3, -1, untouched));
  EXPECT_FALSE(reduce_3x(Bytes(53), w, h, untouched));
  EXPECT_FALSE(reduce_3x(large, w, h, std::span<uint8_t>(untouched).first(5)));
  EXPECT_EQ(untouched, Bytes(6, 7));
}

TEST(GlyphRenderer, CoverageIsExactlyTheCell) {
  GlyphRenderer renderer;
  for (auto [w, h] : {std::pair{26, 26}, {1, 1}, {7, 13}, {40, 16}, {128, 128}, {640, 480}}) {
    SCOPED_TRACE(testing::Message() << w << "x" << h);
    EXPECT_EQ(renderer.render(kMsGothic, w, h, false, kA).size(), static_cast<size_t>(w * h));
    EXPECT_EQ(renderer.render(kMsGothic, w, h, true, kKanji).size(), static_cast<size_t>(w * h));
    EXPECT_EQ(covered(draw(renderer, w, h, true, kIdeoSpace)), 0);
  }
  Bytes a = draw(renderer, 26, 26, false, kA);
  EXPECT_GT(covered(a), 26 * 26 / 10);
  EXPECT_GT(region(a, 26, 9, 17, 9, 17), 0) << "あ has strokes in the middle of its cell";
  EXPECT_LT(covered(a), 26 * 26);

  for (auto [w, h] : {std::pair{0, 26}, {26, 0}, {-1, 26}, {26, -5}, {641, 26}, {26, 481}}) {
    EXPECT_TRUE(renderer.render(kMsGothic, w, h, false, kA).empty()) << w << "x" << h;
  }
}

TEST(GlyphRenderer, BoldCoversAtLeastAsMuchAsRegular) {
  GlyphRenderer renderer;
  for (uint16_t code : {kA, kKanji, uint16_t{0x8260} /* Ａ */, uint16_t{0x4149} /* AI */}) {
    SCOPED_TRACE(code);
    Bytes regular = draw(renderer, 26, 26, false, code);
    Bytes bold = draw(renderer, 26, 26, true, code);
    EXPECT_GT(sum(bold), sum(regular));
    EXPECT_GE(covered(bold), covered(regular));
  }
}

TEST(GlyphRenderer, GlyphScalesWithTheCell) {
  GlyphRenderer renderer;
  Extent narrow = extent(draw(renderer, 16, 26, false, kKanji), 16, 26);
  Extent wide = extent(draw(renderer, 40, 26, false, kKanji), 40, 26);
  EXPECT_GE(wide.width(), narrow.width() * 2);
  EXPECT_NEAR(wide.height(), narrow.height(), 2);

  Extent flat = extent(draw(renderer, 26, 16, false, kKanji), 26, 16);
  Extent tall = extent(draw(renderer, 26, 40, false, kKanji), 26, 40);
  EXPECT_GE(tall.height(), flat.height() * 2);
  EXPECT_NEAR(tall.width(), flat.width(), 2);

  // A full-width character fills most of the cell's width, a big one too.
  Extent big = extent(draw(renderer, 128, 128, false, kKanji), 128, 128);
  EXPECT_GT(big.width(), 128 * 3 / 4);
  EXPECT_GT(big.height(), 128 * 3 / 4);
}

TEST(GlyphRenderer, BaselineSitsAtTheAscent) {
  GlyphRenderer renderer;
  const int h = 30;
  Extent low = extent(draw(renderer, 30, h, false, kLowLine), 30, h);
  Extent high = extent(draw(renderer, 30, h, false, kOverline), 30, h);
  ASSERT_GT(low.height(), 0);
  ASSERT_GT(high.height(), 0);
  EXPECT_GT(low.mid_row(), h * 2 / 3.0);
  EXPECT_LT(high.mid_row(), h / 3.0);
  // Descenders stay inside the cell: the bottom row is not cut through.
  Bytes g = draw(renderer, 30, h, false, 0x8287);  // ｇ
  EXPECT_GT(covered(g), 0);
  EXPECT_EQ(region(g, 30, 0, 30, 0, 1), 0);
}

TEST(GlyphRenderer, SingleBytePairsDrawSideBySide) {
  GlyphRenderer renderer;
  const int w = 24, h = 24;
  // {code, left half inked, right half inked}: "HH", "H ", " H"; half-width
  // katakana and the yen/backslash byte are single characters too.
  const std::tuple<uint16_t, bool, bool> pairs[] = {{0x4848, true, true},
                                                    {0x4820, true, false},
                                                    {0x2048, false, true},
                                                    {0xB1B1, true, true},
                                                    {0x5C5C, true, true}};
  for (auto [code, left, right] : pairs) {
    Bytes pair = draw(renderer, w, h, false, code);
    // The columns next to the middle may hold a glyph's edge.
    EXPECT_EQ(region(pair, w, 0, left ? w / 2 : w / 2 - 1, 0, h) > 0, left) << std::hex << code;
    EXPECT_EQ(region(pair, w, right ? w / 2 : w / 2 + 1, w, 0, h) > 0, right) << std::hex << code;
  }
}

TEST(GlyphRenderer, AnyTwoBytesRenderWithoutFault) {
  GlyphRenderer renderer(64);
  int drawn = 0;
  auto check = [&](uint16_t code) {
    auto cov = renderer.render(kMsGothic, 9, 11, (code & 1) != 0, code);
    ASSERT_EQ(cov.size(), 99u) << std::hex << code;
    if (std::any_of(cov.begin(), cov.end(), [](uint8_t v) { return v; })) ++drawn;
  };
  for (int lead = 0; lead < 256; ++lead) {
    for (int trail : {0x00, 0x20, 0x40, 0x7E, 0x7F, 0x80, 0x9F, 0xA0, 0xFC, 0xFF}) {
      check(static_cast<uint16_t>(lead << 8 | trail));
    }
  }
  EXPECT_GT(drawn, 1000);
  EXPECT_EQ(covered(draw(renderer, 9, 11, false, 0x0000)), 0);
  EXPECT_LE(renderer.cached_glyphs(), 64u);
}

TEST(GlyphRenderer, RepeatedCharactersComeFromTheCache) {
  GlyphRenderer renderer(4);
  Bytes first = draw(renderer, 26, 26, true, kA);
  const uint8_t* where = renderer.render(kMsGothic, 26, 26, true, kA).data();
  EXPECT_EQ(renderer.render(kMsGothic, 26, 26, true, kA).data(), where);
  EXPECT_EQ(draw(renderer, 26, 26, true, kA), first);
  EXPECT_EQ(renderer.cached_glyphs(), 1u);
  // Size, weight and character are all part of the key.
  EXPECT_NE(draw(renderer, 26, 26, false, kA), first);
  EXPECT_NE(draw(renderer, 26, 27, true, kA), first);
  EXPECT_NE(draw(renderer, 26, 26, true, kKanji), first);
  EXPECT_EQ(renderer.cached_glyphs(), 4u);

  // The cache is bounded; what was dropped is drawn again the same way.
  for (uint16_t code = 0x82A2; code < 0x82B0; ++code) draw(renderer, 26, 26, true, code);
  EXPECT_EQ(renderer.cached_glyphs(), 4u);
  EXPECT_EQ(draw(renderer, 26, 26, true, kA), first);
  renderer.clear_cache();
  EXPECT_EQ(renderer.cached_glyphs(), 0u);
  EXPECT_EQ(draw(renderer, 26, 26, true, kA), first);

  // A byte budget: two 26x26 cells do not fit in 1000 bytes, the last one stays.
  GlyphRenderer small(100, 1000);
  Bytes again = draw(small, 26, 26, true, kA);
  draw(small, 26, 26, true, kKanji);
  EXPECT_EQ(small.cached_glyphs(), 1u);
  EXPECT_EQ(again, first);
}

TEST(FontMatch, WindowsNamesFallBackToASortedListOfFixedJapaneseFonts) {
  const std::vector<FontFamilyName> fixed = list_japanese_fixed_fonts();
  ASSERT_FALSE(fixed.empty());
  auto is_fixed = [&](const std::string& family) {
    return std::any_of(fixed.begin(), fixed.end(),
                       [&](const FontFamilyName& f) { return f.utf8 == family; });
  };
  for (const char* name : {"ＭＳ ゴシック", "ＭＳ 明朝", "MS UI Gothic", "Osaka－等幅", ""}) {
    SCOPED_TRACE(name);
    FontFile file = match_japanese_font(to_sjis(name), false);
    EXPECT_FALSE(file.path.empty());
    EXPECT_TRUE(is_fixed(file.family)) << file.family;
    EXPECT_FALSE(file.synthetic_bold);
    FontFile bold = match_japanese_font(to_sjis(name), true);
    EXPECT_EQ(bold.family, file.family);
    if (bold.synthetic_bold) {
      EXPECT_EQ(bold.path, file.path);
    }
  }
  // The list is sorted, the same each time, without the vertical "@" faces;
  // an installed family is taken by its own name.
  EXPECT_EQ(list_japanese_fixed_fonts().size(), fixed.size());
  for (size_t i = 0; i < fixed.size(); ++i) {
    SCOPED_TRACE(fixed[i].utf8);
    EXPECT_NE(fixed[i].utf8.front(), '@');
    EXPECT_EQ(fixed[i].sjis, to_sjis(fixed[i].utf8));
    EXPECT_LT(i > 0 ? fixed[i - 1].utf8 : "", fixed[i].utf8);
    EXPECT_EQ(match_japanese_font(fixed[i].sjis, false).family, fixed[i].utf8);
  }
  GlyphRenderer renderer;
  const std::string family = renderer.family_of(kMsGothic, false);
  EXPECT_TRUE(is_fixed(family)) << family;
  EXPECT_EQ(renderer.family_of(kMsGothic, true), family);
  // Whatever the name, Japanese is drawn.
  EXPECT_GT(covered(draw(renderer, 26, 26, false, kA, to_sjis("Arial"))), 0);
}

}  // namespace
}  // namespace vellumite
