// The auto player: with --auto the game plays itself. Every wait for the
// player is answered as a player would answer it, by input posted to the
// queue when the wait begins (run_wait asks): a click where the pointer is,
// a right click that leaves a menu, the slot list or the history, and for a
// choice or a button wait a click on one of its items, in turn at each place
// of the scenario (or at random from --seed). Boxes take OK or Yes, input
// dialogs a fixed answer. At `end` the game restarts until every option of
// every choice met was taken once (at most kAutoRounds plays); the run ends
// with a summary of pages, choices and labels reached.
//
// --warp LABEL starts the game at LABEL after the define block.
#pragma once

#include <string>

#include "game/engine.h"
#include "game/shell/dialogs.h"
#include "game/shell/player_wait.h"

namespace vellumite {

// After the label table is built: takes the run's options (once), checks
// the start label (an unknown one ends the run with exit code 64), and
// keeps a bit for each label while the auto player runs.
void prepare_play(Engine& e);
// After the game's reset at its start: goes to the start label, if one is
// pending.
void warp_if_pending(Engine& e);
// Called by run_wait when a wait for the player begins (`resumed`: again
// after input that did not end it).
void auto_answer(Engine& e, const WaitRules& rules, bool resumed);
// The auto player's answer to an input dialog.
std::string auto_input_answer(const InputRequest& request);
// At `end`: true when the auto player starts the game again instead.
bool auto_restarts_at_end(Engine& e);
// The summary, on standard output and in the trace.
void report_auto_play(Engine& e);
// The interpreter passes a label line at `position` (its '*').
void note_label_line(Engine& e, int32_t position);

}  // namespace vellumite
