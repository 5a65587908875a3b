// What needs the whole engine, over the graphics types of graphics/image_tag.h.
#pragma once

#include "graphics/image_tag.h"

namespace vellumite {

struct Engine;

// Parses a tag and reports a malformed one through script_error: the tag
// error, or the colour error of the colour reader.
ImageTag read_image_tag(Engine& e, std::string_view text);

}  // namespace vellumite
