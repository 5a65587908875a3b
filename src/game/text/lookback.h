// The text history screen: the player pages back through the last finished
// pages, shown one at a time inside the text window with an up and a down
// button.
#pragma once

#include <string>
#include <string_view>

namespace vellumite {

struct Engine;

// Shows the newest finished page of the history and lets the player page
// through it until a right click (or a wheel turn or Page Down past the
// newest page). Returns false when there was nothing to show (the refused
// menu sound plays); true after a page was shown and the game screen put
// back.
bool lookback(Engine& e);

// Finished page `page` (0 the oldest) of the recorded history text, without
// its page mark; empty when there is no such page.
std::string history_page(std::string_view history, int page);

// Loads the four button pictures from their default files, with a blank
// picture for a missing file, where the define block gave none.
void load_default_lookback_buttons(Engine& e);

}  // namespace vellumite
