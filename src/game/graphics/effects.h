// What needs the whole engine, over the graphics types of graphics/effects.h.
#pragma once

#include "graphics/effects.h"

namespace vellumite {

struct Engine;

// Every effect number undefined except 0 and 1; the window effect back to 1.
void reset_effect_table(EffectState& effects);

// Runs one transition over a rectangle (null: the whole screen). Callers
// first refresh the scene over the same rectangle.
void run_effect(Engine& e, int32_t type, int32_t duration, std::string_view mask_tag,
                const Rect* rect);

// Recomposes the dirty region and shows it with a transition: the plain copy
// (type 1) recomposes and shows each dirty part alone, the others run over
// the box around them all. Either way the trace gives that box.
void show_dirty(Engine& e, int32_t type, int32_t duration, std::string_view mask_tag);

// Reads a command's effect part (a number, or an inline type, duration and
// mask) and runs it over the dirty region.
void read_effect(Engine& e);

// Copies a rectangle of `screen` (null: all of it) to the window and
// presents it: what painting the window does.
void show_screen(Engine& e, const Rect* rect);

}  // namespace vellumite
