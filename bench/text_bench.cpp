// What showing text costs in the text window: one character blended into
// the screen, the text layer and the coverage plane and its cell copied to
// the window, from a warm and from a cold glyph cache; and a whole page of
// text at speed 0 through display_text.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "game/engine.h"
#include "game/text/text_window.h"
#include "graphics/graphics_state.h"
#include "platform/headless/headless_platform.h"

namespace {

using vellumite::CharacterFont;
using vellumite::Colour;
using vellumite::Engine;
using vellumite::GlyphRenderer;

// The codes of JIS level 1 kanji, 0x889F to 0x9872.
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

// A headless engine with its screen pictures, the default window and a
// virtual clock that never runs out.
struct Bench {
  Bench() : platform(options()), e(platform) {
    vellumite::create_screen_pictures(e.graphics);
    e.shell.font_face = vellumite::to_sjis("ＭＳ ゴシック");
    e.text.drawing_font_face = e.shell.font_face;
  }
  static vellumite::PlatformOptions options() {
    vellumite::PlatformOptions o;
    o.timeout_ms = std::numeric_limits<uint32_t>::max();
    o.quiet = true;
    return o;
  }
  CharacterFont font() const { return CharacterFont{e.text.drawing_font_face, 26, 26, true}; }
  vellumite::HeadlessPlatform platform;
  Engine e;
};

// One 26x26 bold character whose coverage is cached: the blend into the
// three layers with the shadow and the copy of its cell to the window.
void BM_ShowCharacterWarm(benchmark::State& state) {
  Bench b;
  const CharacterFont font = b.font();
  vellumite::draw_character(b.e, font, 8 + 26 * 5, 16 + 28 * 3, 0x82A0, Colour{255, 255, 255});
  for (auto _ : state) {
    vellumite::draw_character(b.e, font, 8 + 26 * 5, 16 + 28 * 3, 0x82A0, Colour{255, 255, 255});
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ShowCharacterWarm)->Unit(benchmark::kMicrosecond);

// The same with every character missing from the cache: a cache of 64
// cycling through 2965 kanji, so each is drawn at three times its size and
// reduced first (their decoding is cached after the first round, as in a
// running game).
void BM_ShowCharacterCold(benchmark::State& state) {
  Bench b;
  b.e.text.glyphs = std::make_unique<GlyphRenderer>(64);
  const CharacterFont font = b.font();
  const std::vector<uint16_t> codes = kanji();
  for (uint16_t code : codes)
    vellumite::draw_character(b.e, font, 8, 16, code, Colour{255, 255, 255});
  size_t i = 0;
  for (auto _ : state) {
    vellumite::draw_character(b.e, font, 8 + 26 * 5, 16 + 28 * 3, codes[i], Colour{255, 255, 255});
    if (++i == codes.size()) i = 0;
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ShowCharacterCold)->Unit(benchmark::kMicrosecond);

// A page of 23 x 16 characters at speed 0 through display_text: 16 text
// lines of 23 kanji, with look-ahead, line breaks and the history. The
// window is already shown. Argument: 1 for a warm cache (200 different
// kanji, all cached), 0 for a cold one (every character drawn anew).
void BM_FullPage(benchmark::State& state) {
  const bool warm = state.range(0) != 0;
  Bench b;
  vellumite::TextWindow& w = b.e.text.window;
  w.speed = 0;
  w.rows = 17;  // the line feed after the 16th line stays inside the grid
  std::vector<uint16_t> codes = kanji();
  if (warm) {
    codes.resize(200);
  } else {
    b.e.text.glyphs = std::make_unique<GlyphRenderer>(64);
  }
  std::vector<std::string> lines;
  size_t next = 0;
  for (int page = 0; page < 8; ++page) {
    for (int row = 0; row < 16; ++row) {
      std::string line;
      for (int column = 0; column < 23; ++column) {
        const uint16_t code = codes[next++ % codes.size()];
        line += static_cast<char>(code >> 8);
        line += static_cast<char>(code & 0xFF);
      }
      lines.push_back(std::move(line));
    }
  }
  vellumite::display_text(b.e, "");  // shows the window
  for (const std::string& line : lines) {
    if (w.row == 16) w.row = 0;
    vellumite::display_text(b.e, line);
  }
  size_t i = 0;
  for (auto _ : state) {
    w.column = 0;
    w.row = 0;
    for (int row = 0; row < 16; ++row) {
      vellumite::display_text(b.e, lines[i]);
      if (++i == lines.size()) i = 0;
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 23 * 16);
}
BENCHMARK(BM_FullPage)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
