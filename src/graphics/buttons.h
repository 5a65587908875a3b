// Picture buttons: rectangles of the screen that light up with a part of the
// `btndef` picture while the pointer is over them, and the waits that return
// the clicked one (`btnwait`, `btnwait2`) or the clicked text button
// (`tbtnwait`).
#pragma once

#include <array>
#include <cstdint>

namespace vellumite {

struct Engine;
class CommandBinder;

constexpr int kButtonCount = 256;

struct PictureButton {
  int32_t id = 0;  // what the wait returns when this button is clicked
  int32_t x = 0;   // the screen rectangle
  int32_t y = 0;
  int32_t w = 0;
  int32_t h = 0;
  int32_t src_x = 0;  // top-left of the highlighted look in `button_source`
  int32_t src_y = 0;
  int32_t right = 0;   // x + w - 1 (kept within 32 bits)
  int32_t bottom = 0;  // y + h - 1
};

struct ButtonState {
  std::array<PictureButton, kButtonCount> buttons{};
  int32_t button_count = 0;
};

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
