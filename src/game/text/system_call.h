// What a right click does during a wait, and the same actions on demand:
// the scenario's own menu, the text history, hiding the window until a
// click, save, load, reset and skip to the next choice, with the yes/no box
// that confirms them.
#pragma once

#include <string_view>

#include "game/text/selection.h"
#include "text/menu_settings.h"

namespace vellumite {

struct Engine;

// Runs `action` (a MenuAction), or with -1 what a right click does under the
// right-click setting. Returns at once while a menu is open. Its results
// are the flags `reset_requested` and `load_done` and whatever the action
// did.
void system_call(Engine& e, int action);

// Asks `message` (Shift-JIS) over the menu backdrop: 1 for はい, 0 for いいえ,
// -1 for a right click.
int yes_no(Engine& e, std::string_view message);

// The font, pitches and colours of the menu settings as a menu-style look.
MenuLook menu_layout(const MenuSettings& m);
// menu_layout with the menu sounds and the darkened backdrop the menu
// screens are drawn over.
MenuLook menu_look(Engine& e);

// Clears the text of the menu screen (text_layer black, text_alpha 0), so
// that the next menu line draws a fresh backdrop.
void clear_menu_text(Engine& e);

// The wheel turned up during a click wait: opens the text history where a
// right click may reach it (the right-click setting is the history, or the
// menu with a history item, and right clicks are enabled).
void history_from_wheel(Engine& e);

}  // namespace vellumite
