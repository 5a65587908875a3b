// Colours of surfaces and windows, and small pictures, for the tests that
// look at pixels. Colours are 0xRRGGBB throughout.
#pragma once

#include <cstdint>
#include <string>

#include "game/graphics/picture.h"
#include "graphics/bmp.h"
#include "graphics/surface.h"
#include "platform/platform.h"

namespace vellumite::testing {

// The colour at picture position (x, y) of an 8-bit (through its palette)
// or 24-bit surface.
inline uint32_t rgb_at(const Surface& s, int x, int y) {
  const uint8_t* p = s.row(y);
  if (s.bit_count() == 8) {
    const PaletteEntry& c = s.color_table.at(p[x]);
    return uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
  }
  p += 3 * x;
  return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

// The colour at screen position (x, y) of a 640x480 window buffer stored
// bottom-up.
inline uint32_t window_rgb(const uint8_t* window, int x, int y) {
  const uint8_t* p = window + (kWindowHeight - 1 - y) * kWindowStride + x * 3;
  return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

// A 24-bit BMP file of one colour.
inline std::string solid_bmp(int width, int height, uint32_t rgb) {
  Picture p;
  create_blank(p, width, height, 24);
  fill_picture(p, 0, 0, width, height, Colour::from_rgb(rgb));
  return encode_bmp(p.surface);
}

}  // namespace vellumite::testing
