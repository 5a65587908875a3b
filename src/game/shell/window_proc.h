// The window procedure: the only receiver of the player's input. It records
// input into the shell state, carries out menu commands and handles closing;
// it never runs script code. Waits (shell/player_wait.h) pump messages into
// it.
#pragma once

#include <string>
#include <string_view>

#include "game/engine.h"

namespace vellumite {

void dispatch_message(Engine& e, const Message& message);
// Removes one waiting message and dispatches it; false when none waits.
bool pump_message(Engine& e);
// Answers a close request that waits in the queue while the scenario runs
// without waiting for the player, so the window can always be closed.
void answer_pending_close(Engine& e);
// Every wait that the player ends starts here: the platform learns that the
// engine waits (the headless runner delivers its next scripted event, or ends
// the program when there is nothing left to deliver).
void begin_player_wait(Engine& e, std::string_view kind, bool ends_by_time = false,
                       bool resumed = false);
// Carries out a menu command.
void menu_command(Engine& e, int id);
// Runs the exit sequence (once) and ends the program.
[[noreturn]] void end_program(Engine& e, ExitReason reason);
// Runs the exit sequence unless it has run: for ends that did not come
// through end_program (the headless timeout).
void run_exit_sequence(Engine& e);

}  // namespace vellumite
