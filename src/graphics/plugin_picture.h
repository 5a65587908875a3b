// Pictures read by picture plug-ins (`spi`): the call, and the checks on
// what the plug-in hands back.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "graphics/bmp.h"

namespace vellumite {

struct Engine;

// Turns a plug-in's answer, the bitmap info (40-byte header and colour
// table) and the pixel rows, into a drawable surface. Whatever the header
// says, nothing is read past the two blocks: a header whose picture needs
// more bytes than the blocks hold, a colour table shorter than its count, a
// bad size or bit count, or a picture past `limits` is Failed and leaves
// the surface empty.
BmpRead surface_from_plugin_answer(Surface& surface, std::span<const uint8_t> info,
                                   std::span<const uint8_t> bits, const BmpLimits& limits);

// Reads the picture file at `path` with the plug-in registered for
// `extension`. False when no plug-in handles it (none registered, or it
// cannot be loaded and the program's own does not read the type); true when
// one was asked, and then the surface is empty when it failed.
bool read_with_picture_plugin(Engine& e, Surface& surface, const std::string& path,
                              std::string_view extension, const BmpLimits& limits);

}  // namespace vellumite
