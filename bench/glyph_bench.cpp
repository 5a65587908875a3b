// What one character of the text window costs: from the cache (the common
// case, a character already drawn in this size and weight) and from scratch
// (drawing at three times the size with FreeType and reducing 3x3 blocks).
// Also the one-off costs of choosing a font and listing the font menu.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "text/font_match.h"
#include "text/glyph_renderer.h"

namespace {

using vellumite::GlyphRenderer;

const std::string kFace = vellumite::to_sjis("ＭＳ ゴシック");
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

// The codes of JIS level 1 kanji, 0x889F to 0x9872: enough different
// characters that a small cache never holds the next one.
std::vector<uint16_t> kanji() {
  std::vector<uint16_t> codes;
  for (int lead = 0x88; lead <= 0x98; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const int code = lead << 8 | trail;
      if (trail == 0x7F || code < 0x889F || code > 0x9872) continue;
      codes.push_back(static_cast<uint16_t>(code));
    }
  }
  return codes;
}

// Copies a cell's coverage into the 640x480 text coverage plane at (x, y).
void put_cell(std::vector<uint8_t>& plane, std::span<const uint8_t> coverage, int x, int y, int w,
              int h) {
  for (int r = 0; r < h; ++r) {
    std::memcpy(plane.data() + static_cast<size_t>(y + r) * kScreenWidth + x,
                coverage.data() + static_cast<size_t>(r) * w, static_cast<size_t>(w));
  }
}

// One 26x26 character already in the cache: the lookup and the copy into a
// screen cell. Argument: bold.
void BM_GlyphWarm(benchmark::State& state) {
  const bool bold = state.range(0) != 0;
  GlyphRenderer renderer;
  std::vector<uint8_t> plane(kScreenWidth * kScreenHeight);
  renderer.render(kFace, 26, 26, bold, 0x82A0);
  for (auto _ : state) {
    auto coverage = renderer.render(kFace, 26, 26, bold, 0x82A0);
    put_cell(plane, coverage, 8 + 26 * 5, 16 + 28 * 3, 26, 26);
    benchmark::DoNotOptimize(plane.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_GlyphWarm)->Arg(0)->Arg(1);

// A page of text in a warm cache: 368 cells (23 x 16) cycling through 200
// different characters, so the lookups spread over the whole cache.
void BM_GlyphWarmPage(benchmark::State& state) {
  GlyphRenderer renderer;
  std::vector<uint8_t> plane(kScreenWidth * kScreenHeight);
  std::vector<uint16_t> codes = kanji();
  codes.resize(200);
  for (uint16_t code : codes) renderer.render(kFace, 26, 26, true, code);
  size_t i = 0;
  for (auto _ : state) {
    for (int row = 0; row < 16; ++row) {
      for (int column = 0; column < 23; ++column) {
        auto coverage = renderer.render(kFace, 26, 26, true, codes[i]);
        if (++i == codes.size()) i = 0;
        put_cell(plane, coverage, 8 + 26 * column, 16 + 28 * row, 26, 26);
      }
    }
    benchmark::DoNotOptimize(plane.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 23 * 16);
}
BENCHMARK(BM_GlyphWarmPage);

// One character that is not in the cache: drawing at three times the size
// and the reduction. The characters cycle through 2965 kanji with a cache
// of 64, so every call misses (their decoding is cached after the first
// round, as in a running game). Arguments: cell size, bold.
void BM_GlyphCold(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const bool bold = state.range(1) != 0;
  GlyphRenderer renderer(64);
  const std::vector<uint16_t> codes = kanji();
  for (uint16_t code : codes) renderer.render(kFace, size, size, bold, code);
  size_t i = 0;
  for (auto _ : state) {
    auto coverage = renderer.render(kFace, size, size, bold, codes[i]);
    benchmark::DoNotOptimize(coverage.data());
    if (++i == codes.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GlyphCold)
    ->Args({26, 0})
    ->Args({26, 1})
    ->Args({16, 1})
    ->Args({64, 1})
    ->Args({128, 1})
    ->Unit(benchmark::kMicrosecond);

// The first character of a fresh renderer: also choosing the font, opening
// it with FreeType and decoding the character.
void BM_GlyphFirstUse(benchmark::State& state) {
  for (auto _ : state) {
    GlyphRenderer renderer;
    auto coverage = renderer.render(kFace, 26, 26, true, 0x82A0);
    benchmark::DoNotOptimize(coverage.data());
  }
}
BENCHMARK(BM_GlyphFirstUse)->Unit(benchmark::kMicrosecond);

// The reduction alone, for a 26x26 cell (78x78 bytes in).
void BM_Reduce3x(benchmark::State& state) {
  std::vector<uint8_t> large(78 * 78);
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<uint8_t>(i * 37);
  std::vector<uint8_t> cell(26 * 26);
  for (auto _ : state) {
    vellumite::reduce_3x(large, 26, 26, cell);
    benchmark::DoNotOptimize(cell.data());
  }
}
BENCHMARK(BM_Reduce3x);

// Choosing the font for a face name (a fontconfig sort of every installed
// font); the renderer does it once per name.
void BM_MatchFont(benchmark::State& state) {
  for (auto _ : state) {
    auto file = vellumite::match_japanese_font(kFace, state.range(0) != 0);
    benchmark::DoNotOptimize(file.path.data());
  }
}
BENCHMARK(BM_MatchFont)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The font menu's list, built once per start.
void BM_ListJapaneseFixedFonts(benchmark::State& state) {
  for (auto _ : state) {
    auto fonts = vellumite::list_japanese_fixed_fonts();
    benchmark::DoNotOptimize(fonts.data());
  }
}
BENCHMARK(BM_ListJapaneseFixedFonts)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
