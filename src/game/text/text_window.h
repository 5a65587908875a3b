// What needs the whole engine, over the text types of text/text_window.h.
#pragma once

#include "text/text_window.h"

namespace vellumite {

struct Engine;

// Removes the shown text window from the screen with the window effect, when
// its erase flag allows.
void hide_text_window(Engine& e);

// Draws the window's background (its picture, or its colour tint) over the
// inclusive rectangle of `target`.
void draw_window_background(Engine& e, int32_t left, int32_t top, int32_t right, int32_t bottom,
                            Picture& target);

// Draws the text window and its text into `scene` inside `rect` (null: the
// whole screen); the compositor calls it while the window is in the scene.
void recompose_text(Engine& e, const Rect* rect);

// Shows one text line (Shift-JIS; its end or a NUL byte ends it) with all
// its marks, waits and automatic line breaks. Afterwards the caller looks at
// `reset_requested`.
void display_text(Engine& e, std::string_view line);

// Draws the character `code` (lead byte in the high half) with its top-left
// corner at (x, y) in `colour`, puts it into text_alpha
// and text_layer, blends it into screen with the window's shadow rule and
// shows the cell. A cell that, with the shadow column right of it, would
// leave the screen is not drawn.
void draw_character(Engine& e, const CharacterFont& font, int32_t x, int32_t y, uint16_t code,
                    Colour colour);

// Column 0 of the next row; a line feed from the last row is a script error.
void new_line(Engine& e);

// Cell (0, 0) of an empty page; a shown window is redrawn empty at once.
void new_page(Engine& e);

// What `textclear` does: a page end in the history, then an empty page.
void clear_text_page(Engine& e);

// Waits for the player with the cursor of `cursor_kind` at (cursor_x,
// cursor_y); auto mode and autoclick end it by time.
void click_wait(Engine& e);

// The text part of the game's reset: the window, its text and the text
// history back to their starting state.
void reset_text(Engine& e);

// The settings of the define-block commands that every cycle starts from.
void reset_text_cycle_defaults(TextState& text);

}  // namespace vellumite
