#include "game/shell/dialog_painter.h"

#include <algorithm>
#include <memory>

#include "base/sjis.h"
#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"
#include "text/glyph_renderer.h"

namespace vellumite {
namespace dialog {

bool inside(const DialogRect& r, int x, int y) {
  return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h;
}

DialogRect intersect(const DialogRect& a, const DialogRect& b) {
  int left = std::max(a.x, b.x), top = std::max(a.y, b.y);
  int right = std::min(a.x + a.w, b.x + b.w), bottom = std::min(a.y + a.h, b.y + b.h);
  return DialogRect{left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

size_t char_length(std::string_view sjis, size_t i) {
  return is_sjis_lead(static_cast<unsigned char>(sjis[i])) && i + 1 < sjis.size() ? 2 : 1;
}
void draw_button(Painter& p, const Button& b, bool pressed) {
  p.fill(b.rect, kFaceColor);
  DialogRect r = b.rect;
  if (b.is_default) {
    p.outline(r, kTextColor, kTextColor);
    r = {r.x + 1, r.y + 1, r.w - 2, r.h - 2};
  }
  if (pressed) {
    p.outline(r, kShadowColor, kShadowColor);
  } else {
    p.outline(r, kLightColor, kDarkColor);
    p.outline({r.x + 1, r.y + 1, r.w - 2, r.h - 2}, kFaceColor, kShadowColor);
  }
  int shift = pressed ? 1 : 0;
  p.text(b.rect.x + (b.rect.w - Painter::text_width(b.label)) / 2 + shift,
         b.rect.y + (b.rect.h - kGlyph) / 2 + shift, b.label, kTextColor, b.rect);
}

void draw_frame(Painter& p, const DialogRect& frame, std::string_view title_sjis) {
  p.fill(frame, kFaceColor);
  p.outline(frame, kFaceColor, kDarkColor);
  p.outline({frame.x + 1, frame.y + 1, frame.w - 2, frame.h - 2}, kLightColor, kShadowColor);
  DialogRect caption{frame.x + kBorder, frame.y + kBorder, frame.w - 2 * kBorder, kCaption};
  p.fill(caption, kCaptionColor);
  p.text(caption.x + 4, caption.y + (kCaption - kGlyph) / 2, title_sjis, kCaptionTextColor,
         caption);
}

PixelRect pixel_rect(const DialogRect& r) {
  DialogRect c = intersect(r, kWholeWindow);
  return PixelRect{c.x, c.y, c.x + c.w, c.y + c.h};
}

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

void Painter::fill(const DialogRect& r, Colour colour) {
  DialogRect c = intersect(r, bounds());
  for (int y = c.y; y < c.y + c.h; ++y) {
    uint8_t* p = at(c.x, y);
    for (int x = 0; x < c.w; ++x, p += 3) set(p, colour);
  }
}

void Painter::outline(const DialogRect& r, Colour top_left, Colour bottom_right) {
  fill({r.x, r.y, r.w, 1}, top_left);
  fill({r.x, r.y, 1, r.h}, top_left);
  fill({r.x, r.y + r.h - 1, r.w, 1}, bottom_right);
  fill({r.x + r.w - 1, r.y, 1, r.h}, bottom_right);
}

int Painter::text_width(std::string_view sjis) {
  int width = 0;
  for (size_t i = 0; i < sjis.size(); i += char_length(sjis, i)) {
    width += char_length(sjis, i) == 2 ? kGlyph : kHalfGlyph;
  }
  return width;
}

void Painter::text(int x, int y, std::string_view sjis, Colour colour, const DialogRect& clip) {
  DialogRect c = intersect(clip, bounds());
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
          if (a != 0 && inside(c, x + col, y + row)) blend(at(x + col, y + row), colour, a);
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
