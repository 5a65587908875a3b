// What needs the whole engine, over the text types of text/selection.h.
#pragma once

#include "text/selection.h"

namespace vellumite {

struct Engine;

// The selection state of the engine.
SelectionState& selection_state(Engine& e);

// The colours and sounds every cycle starts from (before the *define block).
void reset_selection_cycle_defaults(Engine& e);

// Lets the player choose one of `texts` (Shift-JIS) and returns its index,
// or -1 when the menu style was cancelled by a right click or a reset or
// load was chosen from a right-click menu during the choice. While
// `menu_busy` is clear the items are laid out in the text window starting at
// the cell (column, row); while it is set they are centred on the screen
// with `menu` (column and row are then not used).
int choose_item(Engine& e, std::span<const std::string> texts, int32_t column, int32_t row,
                const MenuLook& menu = {});

// Draws one item in `colour` over a clean background, without
// delay and without touching the text history. A non-negative column / row
// is a cell of the text window, a negative one the pixel coordinate -value.
// With `menu` null the text window's font and rectangle are used and long
// text wraps at the window's columns with the kinsoku rules; with `menu` its
// font and the whole screen. Column and row come back as the cell after the
// text; returns the number of characters, at most the window's columns.
int draw_menu_line(Engine& e, std::string_view text, int32_t& column, int32_t& row, Colour colour,
                   const MenuLook* menu = nullptr);

// Draws a menu line in the menu style at the pixel position (x, y); a
// position right of or below the screen draws nothing.
void draw_menu_text_at(Engine& e, std::string_view text, int64_t x, int64_t y, Colour colour,
                       const MenuLook& look);

}  // namespace vellumite
