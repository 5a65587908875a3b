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

}  // namespace vellumite
