#include "graphics/alpha_tool.h"

#include <algorithm>
#include <vector>

namespace vellumite {
namespace {

bool readable(const Surface& s) {
  return !s.empty() && s.width > 0 && s.height > 0 &&
         (s.bit_count() == 24 || (s.bit_count() == 8 && s.color_table.size() == 256));
}

// The blue, green and red of picture position (x, y).
void colour_at(const Surface& s, int32_t x, int32_t y, uint8_t out[3]) {
  const uint8_t* row = s.row(y);
  if (s.bit_count() == 8) {
    const PaletteEntry& c = s.color_table[row[x]];
    out[0] = c.blue;
    out[1] = c.green;
    out[2] = c.red;
    return;
  }
  const uint8_t* p = row + static_cast<size_t>(x) * 3;
  out[0] = p[0];
  out[1] = p[1];
  out[2] = p[2];
}

}  // namespace

uint8_t alpha_mask_value(const uint8_t black_bgr[3], const uint8_t white_bgr[3]) {
  if (black_bgr[0] == white_bgr[0] && black_bgr[1] == white_bgr[1] &&
      black_bgr[2] == white_bgr[2]) {
    return 0;
  }
  const int sum_white = white_bgr[0] + white_bgr[1] + white_bgr[2];
  const int sum_black = black_bgr[0] + black_bgr[1] + black_bgr[2];
  // A pixel brighter on black than on white is opaque, not wrapped round.
  return static_cast<uint8_t>(std::clamp((sum_white - sum_black) / 3, 0, 255));
}

std::optional<Surface> make_alpha_picture(const Surface& black, const Surface& white) {
  if (!readable(black) || !readable(white) || black.width != white.width ||
      black.height != white.height) {
    return std::nullopt;
  }
  const int32_t w = black.width, h = black.height;
  // The mask, one byte per pixel, rows top down.
  std::vector<uint8_t> mask(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint8_t b[3], c[3];
      colour_at(black, x, y, b);
      colour_at(white, x, y, c);
      mask[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
          alpha_mask_value(b, c);
    }
  }
  const auto clear_at = [&](int32_t x, int32_t y) {
    return mask[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] == 255;
  };
  int32_t left = 0;
  while (left < (w - 1) / 2) {
    bool clear = true;
    for (int32_t y = 0; y < h && clear; ++y) clear = clear_at(left, y) && clear_at(w - 1 - left, y);
    if (!clear) break;
    ++left;
  }
  int32_t top = 0;
  while (top < h - 1) {
    bool clear = true;
    for (int32_t x = 0; x < w && clear; ++x) clear = clear_at(x, top);
    if (!clear) break;
    ++top;
  }

  const int32_t part_width = w - 2 * left, out_height = h - top;
  Surface out;
  if (!create_blank(out, 2 * part_width, out_height, 24)) return std::nullopt;
  for (int32_t y = 0; y < out_height; ++y) {
    uint8_t* colour = out.row(y);
    uint8_t* alpha = colour + static_cast<size_t>(part_width) * 3;
    for (int32_t x = 0; x < part_width; ++x, colour += 3, alpha += 3) {
      colour_at(black, left + x, top + y, colour);
      const uint8_t m = mask[static_cast<size_t>(top + y) * static_cast<size_t>(w) +
                             static_cast<size_t>(left + x)];
      alpha[0] = alpha[1] = alpha[2] = m;
    }
  }
  return out;
}

}  // namespace vellumite
