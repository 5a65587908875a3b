// Save slots: the snapshot of the game taken at every page start, the slot
// files it is written to, and the slot list the player chooses from.
#pragma once

#include <string>

namespace vellumite {

struct Engine;

// Records the whole game state as it stands at the start of a text page.
void state_snapshot(Engine& e);
// Shows the slot list (is_save: to save into, else to load from); the chosen
// slot's index from 0 with its label in `label`, or -1 when the player
// cancelled.
int save_slot_screen(Engine& e, bool is_save, std::string& label);
// Writes the last snapshot to slot n (from 1). False when the file could not
// be written; the slot then keeps its old file.
bool write_save(Engine& e, int n);
// Restores the game from slot n (from 1) and rebuilds the screen, the text
// window and the music. False when the file was refused; the game then goes
// on where it was.
bool load_save(Engine& e, int n);

}  // namespace vellumite
