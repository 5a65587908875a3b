// Choices: the item loop that lets the player point at one of several texts
// and click it, in the two styles it runs in (a choice in the text window,
// and a menu centred on the screen), the drawing of one item, and the
// settings of the choice commands.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/colour.h"

namespace vellumite {

struct Engine;

// The look of the menu style: layout, colours, sounds and the backdrop the
// menu is drawn over. The values are the start-up values of the menu
// settings.
struct MenuLook {
  int32_t font_width = 26;
  int32_t font_height = 26;
  int32_t pitch_x = 26;
  int32_t pitch_y = 28;
  int32_t bold = 0;
  int32_t shadow = 0;
  Colour highlight_colour = Colour::from_rgb(0xFFFFFF);
  Colour normal_colour = Colour::from_rgb(0xAAAAAA);
  // Sound file names (empty: none): open, cancelled by a right click,
  // pointer onto another item, item clicked.
  std::array<std::string, 4> sounds;
  // Draws the backdrop and shows it when the menu opens; empty: nothing.
  std::function<void(Engine&)> draw_backdrop;
};

// What the choice commands keep.
struct SelectionState {
  Colour highlight_colour = Colour::from_rgb(0xFFFFFF);  // the item under the pointer
  Colour normal_colour = Colour::from_rgb(0xAAAAAA);     // the other items
  // Sound file names (empty: none): choice opens, pointer onto another item,
  // item clicked.
  std::array<std::string, 3> sounds;
  // The items of the last choice command (Shift-JIS), and their labels for
  // select and selgosub.
  std::vector<std::string> texts;
  std::vector<std::string> labels;
};

}  // namespace vellumite
