// Pictures read by picture plug-ins (`spi`).
#pragma once

#include <string>
#include <string_view>

#include "graphics/bmp.h"

namespace vellumite {

struct Engine;

// Reads the picture file at `path` with the plug-in registered for
// `extension`. False when no plug-in handles it (none registered, or it
// cannot be loaded and the program's own does not read the type); true when
// one was asked, and then the surface is empty when it failed.
bool read_with_picture_plugin(Engine& e, Surface& surface, const std::string& path,
                              std::string_view extension, const BmpLimits& limits);

}  // namespace vellumite
