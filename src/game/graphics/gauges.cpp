// Drawing the gauges and numbers into `scene`.
#include "game/graphics/gauges.h"

#include <algorithm>
#include <memory>
#include <span>

#include "game/engine.h"
#include "game/graphics/layers.h"
#include "game/text/text_window.h"
#include "text/glyph_renderer.h"

namespace vellumite {
namespace {

// Blends `colour` over the scene through a block of coverage
// bytes (`width` x `height`, row by row) placed at (x, y), within `clip`.
void blend_coverage(Surface& scene, std::span<const uint8_t> coverage, int64_t x, int64_t y,
                    int32_t width, int32_t height, const Rect& clip, Colour colour) {
  const BlendTable& t = blend_table();
  const uint8_t blue = colour.blue, green = colour.green, red = colour.red;
  const int64_t left = std::max<int64_t>(x, clip.left);
  const int64_t right = std::min<int64_t>(x + width - 1, int64_t{clip.right} - 1);
  const int64_t top = std::max<int64_t>(y, clip.top);
  const int64_t bottom = std::min<int64_t>(y + height - 1, int64_t{clip.bottom} - 1);
  if (left > right || top > bottom) return;
  for (int64_t py = top; py <= bottom; ++py) {
    const uint8_t* c = coverage.data() + (py - y) * width + (left - x);
    uint8_t* d = scene.row(static_cast<int32_t>(py)) + left * 3;
    for (int64_t px = left; px <= right; ++px, ++c, d += 3) {
      const uint8_t k = *c;
      if (k == 0) continue;
      d[0] = static_cast<uint8_t>(t[blue][k] + t[d[0]][255 - k]);
      d[1] = static_cast<uint8_t>(t[green][k] + t[d[1]][255 - k]);
      d[2] = static_cast<uint8_t>(t[red][k] + t[d[2]][255 - k]);
    }
  }
}

}  // namespace

int64_t gauge_fill(int32_t value, int32_t w, int32_t max) {
  return int64_t{value} * w / max;  // C++ division rounds toward zero
}

std::string number_text(int32_t value) {
  std::string digits = std::to_string(value);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), ' ');
  return digits;
}

// Both areas take in one column and one row more than the size: the last
// ones given are included.
Rect gauge_area(const Gauge& g) {
  // A value above max fills past w: that part is the gauge's too.
  const int64_t filled = g.max == 0 ? 0 : gauge_fill(g.value, g.w, g.max);
  return Rect::inclusive(g.x, g.y, g.x + std::max<int64_t>(g.w, filled), int64_t{g.y} + g.h);
}

Rect number_area(const NumberDisplay& n, int64_t columns) {
  const auto length = static_cast<int64_t>(number_text(n.value).size());
  return Rect::inclusive(n.x, n.y, n.x + std::max(columns * n.a, length * n.b),
                         n.y + std::max<int64_t>(n.a, n.b));
}

void draw_bars(Engine& e, const Rect& rect) {
  GraphicsState& g = e.graphics;
  for (const Gauge& bar : g.bars) {
    if (bar.x == -1 || bar.max == 0 || !gauge_area(bar).overlaps(rect)) continue;
    const int64_t filled = gauge_fill(bar.value, bar.w, bar.max);
    if (filled <= 0) continue;
    // The filled part, right and bottom exclusive, within the refresh.
    const int64_t left = std::max<int64_t>(bar.x, rect.left);
    const int64_t top = std::max<int64_t>(bar.y, rect.top);
    const int64_t right = std::min<int64_t>(bar.x + filled, rect.right);
    const int64_t bottom = std::min<int64_t>(int64_t{bar.y} + bar.h, rect.bottom);
    if (left >= right || top >= bottom) continue;
    fill_picture(g.scene, static_cast<int32_t>(left), static_cast<int32_t>(top),
                 static_cast<int32_t>(right), static_cast<int32_t>(bottom), bar.colour);
  }
}

void draw_numbers(Engine& e, const Rect& rect) {
  GraphicsState& g = e.graphics;
  Surface& scene = g.scene.surface;
  if (scene.bit_count() != 24 || scene.width != kWindowWidth || scene.height != kWindowHeight)
    return;
  TextState& t = e.text;
  for (const NumberDisplay& n : g.numbers) {
    if (n.x == -1 || !number_area(n, 4).overlaps(rect)) continue;
    // The font: cell height a, characters b wide; a pair of characters
    // fills one full-width cell of 2b.
    const int64_t pair_width = int64_t{n.b} * 2;
    if (n.a < 1 || n.b < 1 || pair_width > GlyphRenderer::kMaxCellWidth ||
        n.a > GlyphRenderer::kMaxCellHeight) {
      continue;
    }
    if (!t.glyphs) t.glyphs = std::make_unique<GlyphRenderer>();
    std::string text = number_text(n.value);
    if (text.size() % 2 != 0) text += ' ';
    for (size_t i = 0; i < text.size(); i += 2) {
      const int64_t x = n.x + static_cast<int64_t>(i / 2) * pair_width;
      if (x >= rect.right) break;
      if (x + pair_width <= rect.left) continue;
      const auto code = static_cast<uint16_t>(static_cast<uint8_t>(text[i]) << 8 |
                                              static_cast<uint8_t>(text[i + 1]));
      const std::span<const uint8_t> coverage =
          t.glyphs->render(t.drawing_font_face, static_cast<int>(pair_width), n.a, false, code);
      if (coverage.empty()) continue;
      blend_coverage(scene, coverage, x, n.y, static_cast<int32_t>(pair_width), n.a, rect,
                     n.colour);
    }
  }
  pixels_changed(g.scene);
}

void clear_gauges(GraphicsState& g) {
  g.bars.fill(Gauge{});
  g.numbers.fill(NumberDisplay{});
}

}  // namespace vellumite
