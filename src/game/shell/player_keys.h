// What the player's own keys and switches do, beyond the mouse, Space and
// Enter: Ctrl held skips, Escape is a right click, F9 makes skipping stop at
// unread text, F12 takes a picture of the window, and the arrow keys (and a
// game controller's pad) move the pointer between the items of a wait.
#pragma once

#include <cstdint>

#include "game/engine.h"

namespace vellumite {

// Reads the [player] switches of the settings file and then those given for
// this run alone.
void load_player_options(Engine& e);

// Carries out a Key message's key when it is one of the player's keys above;
// false for the others.
bool player_key(Engine& e, uint32_t key);

// The item an arrow key moves to from `current` (-1: none yet) among
// `count`: Up and Left the one before, Down and Right the next, round the
// end; -1 when `key` is no arrow or there are no items.
int arrow_step(uint32_t key, int current, int count);

}  // namespace vellumite
