#include "game/shell/dialog_painter.h"

#include <algorithm>
#include <memory>

#include "base/sjis.h"
#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"
#include "text/glyph_renderer.h"

namespace vellumite {
namespace dialog {

Rect clip(const Rect& a, const Rect& b) {
  const Rect c = intersect(a, b);
  return Rect{c.left, c.top, std::max(c.left, c.right), std::max(c.top, c.bottom)};
}

size_t char_length(std::string_view sjis, size_t i) {
  return is_sjis_lead(static_cast<unsigned char>(sjis[i])) && i + 1 < sjis.size() ? 2 : 1;
}
void draw_button(Painter& p, const Button& b, bool pressed) {
  p.fill(b.rect, kFaceColor);
  Rect r = b.rect;
  if (b.is_default) {
    p.outline(r, kTextColor, kTextColor);
    r = Rect::sized(r.left + 1, r.top + 1, r.width() - 2, r.height() - 2);
  }
  if (pressed) {
    p.outline(r, kShadowColor, kShadowColor);
  } else {
    p.outline(r, kLightColor, kDarkColor);
    p.outline(Rect::sized(r.left + 1, r.top + 1, r.width() - 2, r.height() - 2), kFaceColor,
              kShadowColor);
  }
  int shift = pressed ? 1 : 0;
  p.text(b.rect.left + (b.rect.width() - Painter::text_width(b.label)) / 2 + shift,
         b.rect.top + (b.rect.height() - kGlyph) / 2 + shift, b.label, kTextColor, b.rect);
}

void draw_frame(Painter& p, const Rect& frame, std::string_view title_sjis) {
  p.fill(frame, kFaceColor);
  p.outline(frame, kFaceColor, kDarkColor);
  p.outline(Rect::sized(frame.left + 1, frame.top + 1, frame.width() - 2, frame.height() - 2),
            kLightColor, kShadowColor);
  const Rect caption =
      Rect::sized(frame.left + kBorder, frame.top + kBorder, frame.width() - 2 * kBorder, kCaption);
  p.fill(caption, kCaptionColor);
  p.text(caption.left + 4, caption.top + (kCaption - kGlyph) / 2, title_sjis, kCaptionTextColor,
         caption);
}

Rect pixel_rect(const Rect& r) { return clip(r, kWindowRect); }

// Splits a text into lines at line feeds and where a line grows wider than
// `width`.
std::vector<std::string> wrap_lines(std::string_view sjis, int width) {
  std::vector<std::string> lines(1);
  int line_width = 0;
  for (size_t i = 0; i < sjis.size();) {
    size_t length = char_length(sjis, i);
    if (sjis[i] == '\n') {
      lines.emplace_back();
      line_width = 0;
      ++i;
      continue;
    }
    int w = length == 2 ? kGlyph : kHalfGlyph;
    if (line_width + w > width && line_width > 0) {
      lines.emplace_back();
      line_width = 0;
    }
    if (sjis[i] != '\r') {
      lines.back().append(sjis.substr(i, length));
      line_width += w;
    }
    i += length;
  }
  return lines;
}

}  // namespace dialog

using namespace dialog;

Painter::Painter(Engine& e) : Painter(e, e.platform.window_pixels(), kWindowHeight) {}

Painter::Painter(Engine& e, uint8_t* pixels, int height)
    : e_(e), pixels_(pixels), height_(height), face_(to_sjis("ＭＳ Ｐゴシック")) {
  if (!e.text.glyphs) e.text.glyphs = std::make_unique<GlyphRenderer>();
}

void Painter::fill(const Rect& r, Colour colour) {
  const Rect c = clip(r, bounds());
  for (int y = c.top; y < c.top + c.height(); ++y) {
    uint8_t* p = at(c.left, y);
    for (int x = 0; x < c.width(); ++x, p += 3) set(p, colour);
  }
}

void Painter::outline(const Rect& r, Colour top_left, Colour bottom_right) {
  fill(Rect::sized(r.left, r.top, r.width(), 1), top_left);
  fill(Rect::sized(r.left, r.top, 1, r.height()), top_left);
  fill(Rect::sized(r.left, r.top + r.height() - 1, r.width(), 1), bottom_right);
  fill(Rect::sized(r.left + r.width() - 1, r.top, 1, r.height()), bottom_right);
}

int Painter::text_width(std::string_view sjis) {
  int width = 0;
  for (size_t i = 0; i < sjis.size(); i += char_length(sjis, i)) {
    width += char_length(sjis, i) == 2 ? kGlyph : kHalfGlyph;
  }
  return width;
}

void Painter::text(int x, int y, std::string_view sjis, Colour colour, const Rect& clip) {
  const Rect c = dialog::clip(clip, bounds());
  for (size_t i = 0; i < sjis.size();) {
    size_t length = char_length(sjis, i);
    auto b1 = static_cast<unsigned char>(sjis[i]);
    // A single-byte character is drawn in the left half of a full cell.
    uint16_t code = length == 2
                        ? static_cast<uint16_t>(b1 << 8 | static_cast<unsigned char>(sjis[i + 1]))
                        : static_cast<uint16_t>(b1 << 8);
    int width = length == 2 ? kGlyph : kHalfGlyph;
    std::span<const uint8_t> coverage = e_.text.glyphs->render(face_, kGlyph, kGlyph, false, code);
    if (coverage.size() >= static_cast<size_t>(kGlyph * kGlyph)) {
      for (int row = 0; row < kGlyph; ++row) {
        for (int col = 0; col < width; ++col) {
          uint8_t a = coverage[static_cast<size_t>(row * kGlyph + col)];
          if (a != 0 && c.contains(x + col, y + row)) blend(at(x + col, y + row), colour, a);
        }
      }
    }
    x += width;
    i += length;
  }
}

uint8_t* Painter::at(int x, int y) {
  return pixels_ + static_cast<size_t>(height_ - 1 - y) * kWindowStride +
         static_cast<size_t>(x) * 3;
}

void Painter::set(uint8_t* p, Colour colour) {
  p[0] = colour.blue;
  p[1] = colour.green;
  p[2] = colour.red;
}

void Painter::blend(uint8_t* p, Colour colour, uint8_t a) {
  const uint8_t channels[3] = {colour.blue, colour.green, colour.red};
  for (int k = 0; k < 3; ++k) {
    p[k] = static_cast<uint8_t>((p[k] * (255u - a) + channels[k] * a + 127u) / 255);
  }
}

}  // namespace vellumite
