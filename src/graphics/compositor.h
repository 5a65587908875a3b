// The pixel compositor: every layer reaches `scene` through draw_picture.
#pragma once

#include <cstdint>

#include "graphics/layers.h"
#include "graphics/picture.h"

namespace vellumite {

// Composes the current cell of `source` at (x, y) of `destination` (a 24-bit
// picture of the screen's size), limited to `clip` (null: the
// whole destination), with the source's transparency mode and opacity.
void draw_picture(const Picture& source, Picture& destination, const Rect* clip, int32_t x,
                  int32_t y);

}  // namespace vellumite
