// Save slots: the snapshot of the game taken at every page start, the slot
// files it is written to, and the slot list the player chooses from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vellumite {

struct Engine;

// Records the whole game state as it stands at the start of a text page.
void state_snapshot(Engine& e);
// The same with the scenario position `pos` recorded (the statement's start,
// when its command word has been read already).
void state_snapshot_at(Engine& e, int32_t pos);
// Whether the snapshot must be taken before the command `word`: false for
// the commands that never wait, draw text or move the text cursor (variables
// and jumps), since the snapshot before the next statement, still at the
// page start, replaces theirs before any save can happen.
bool snapshot_before_command(std::string_view word);
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

// The number of slots the list shows (savenumber, 0..20).
int slot_count(const Engine& e);
// The label of slot i (from 0): the prefix, its full-width number and the
// time its file was written, or dashes when it has none (`exists` false).
std::string slot_label(Engine& e, int i, bool* exists = nullptr);
// "save<n>.dat".
std::string save_file_name(int n);
// Whether the bytes of a slot file can be a game of the loaded scenario: a
// gosub depth of 0..1000, every scenario position inside the scenario and
// every picture tag readable.
bool save_file_acceptable(Engine& e, std::string_view bytes);

}  // namespace vellumite
