// The menu bar drawn by the engine with its own glyphs: the top-level labels
// in the platform's strip above the picture, and the drop-downs that a click
// on a label opens over the picture. Choosing an entry posts a Command
// message with its id, so the window procedure carries it out as it does
// every other menu command.
#pragma once

#include <vector>

#include "game/engine.h"
#include "game/shell/dialogs.h"

namespace vellumite {

// The boxes of the top-level items in strip coordinates, in bar order; each
// is as wide as its label's glyphs plus a margin on either side.
std::vector<Rect> menu_bar_layout(const Menu& menu);
// The top-level item at (x, y) of the strip, or -1.
int menu_bar_hit(const Menu& menu, int x, int y);

// The rows of a drop-down holding `entries`, in window coordinates, for a
// drop-down whose top-left corner is at (x, y); the last rect is the frame.
std::vector<Rect> drop_down_layout(const std::vector<MenuItem>& entries, int x, int y);

// Draws the bar into the strip with item `open` (or none, -1) highlighted,
// and presents it.
void draw_menu_bar(Engine& e, int open = -1);

// Handles a MenuBarMouse message: a press on a command item posts its
// command; a press on a drop-down item opens it and follows the mouse until
// an entry is chosen (its command is posted) or the drop-down is closed by a
// click elsewhere. The picture under the drop-downs is put back.
void menu_bar_mouse(Engine& e, const Message& m);

// Handles a Key message outside the menu: Alt or F10 opens the first
// drop-down with its first entry highlighted, and the keys then work it
// (arrows, Return, Escape) as the mouse does.
void menu_bar_key(Engine& e, const Message& m);

}  // namespace vellumite
