// What needs the whole engine, over the graphics types of graphics/buttons.h.
#pragma once

#include "graphics/buttons.h"

namespace vellumite {

struct Engine;

// The engine's button table.
ButtonState& button_state(Engine& e);

// Appends a button; false when the table is full.
bool add_button(ButtonState& state, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h,
                int32_t src_x, int32_t src_y);

// Waits for a click on the buttons of `button_state`, lighting up the one
// under the pointer. Returns the clicked button's id, 0 for a left click on
// no button, -1 for a right click (which also takes every highlight off).
int32_t wait_for_button(Engine& e);

// Waits for a click on the text buttons of the text window, underlining the
// one under the pointer. Returns its number, 0 for a left click on none, -1
// for a right click. `button_source` holds a snapshot of the screen during
// the wait and is freed afterwards.
int32_t wait_for_link(Engine& e);

// The commands `btndef`, `btn`, `btnwait`, `btnwait2`, `tbtnwait`, and those
// of the timed waits.
void bind_button_commands(CommandBinder& binder);

}  // namespace vellumite
