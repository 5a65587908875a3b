// One colour, a byte per channel. Scenarios write colours as #rrggbb, and
// commands and saved files hold them as 0xRRGGBB numbers, which is also the
// word a 24-bit pixel (blue, green, red in memory) reads as.
#pragma once

#include <cstdint>

namespace vellumite {

struct Colour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;

  // The low 24 bits of `rrggbb`; higher bits are ignored.
  static constexpr Colour from_rgb(uint32_t rrggbb) {
    return {static_cast<uint8_t>(rrggbb >> 16), static_cast<uint8_t>(rrggbb >> 8),
            static_cast<uint8_t>(rrggbb)};
  }
  constexpr uint32_t rgb() const { return uint32_t{red} << 16 | uint32_t{green} << 8 | blue; }

  friend constexpr bool operator==(Colour, Colour) = default;
};

}  // namespace vellumite
