// Gauges (`bar`) and numbers (`prnum`) drawn into the scene by refresh_scene.
#pragma once

#include "graphics/graphics_state.h"
#include "graphics/layers.h"

namespace vellumite {

struct Engine;

// The filled width of a gauge: value x w / max, rounded toward zero. `max`
// is never 0 (`bar` refuses it).
int64_t gauge_fill(int32_t value, int32_t w, int32_t max);

// A number as it is drawn: right-aligned in three characters ("  7"); wider
// values take more ("-12", "1234").
std::string number_text(int32_t value);

// The screen area a gauge covers: w wide, or as wide as it is filled when
// that is more (summed in 64 bits, kept within 32).
Rect gauge_area(const Gauge& g);

// The area of a number: the digits are `b` wide and `a` high, and the area
// also takes in `columns` x a across and b down, so that the refresh covers
// a number whatever the proportions of its font.
Rect number_area(const NumberDisplay& n, int64_t columns);

// Fill every gauge that meets `rect` into `scene`, clipped to `rect`.
void draw_bars(Engine& e, const Rect& rect);

// Draws every number that meets `rect` into `scene` with the text face, in
// its colour over what lies beneath, clipped to `rect`.
void draw_numbers(Engine& e, const Rect& rect);

// Frees every gauge and number (the game's reset).
void clear_gauges(GraphicsState& g);

}  // namespace vellumite
