// Gauges (`bar`) and numbers (`prnum`): drawn over the composed scene, after
// the colour filters and before the text window, on every refresh.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/graphics_state.h"
#include "graphics/layers.h"

namespace vellumite {

struct Engine;

// The screen area a gauge covers, inclusive, computed in 64 bits: w wide,
// or as wide as it is filled when that is more.
struct WideRect {
  int64_t left = 0, top = 0, right = 0, bottom = 0;
};

}  // namespace vellumite
