// What a picture plug-in hands back, checked and turned into a surface.
#pragma once

#include <cstdint>
#include <span>

#include "graphics/bmp.h"

namespace vellumite {

// Turns a plug-in's answer, the bitmap info (40-byte header and colour
// table) and the pixel rows, into a drawable surface. Whatever the header
// says, nothing is read past the two blocks: a header whose picture needs
// more bytes than the blocks hold, a colour table shorter than its count, a
// bad size or bit count, or a picture past `limits` is Failed and leaves
// the surface empty.
BmpRead surface_from_plugin_answer(Surface& surface, std::span<const uint8_t> info,
                                   std::span<const uint8_t> bits, const BmpLimits& limits);

}  // namespace vellumite
