// The window procedure: the only receiver of the player's input. It records
// input into the shell state, carries out menu commands and handles closing;
// it never runs script code. Waiting loops pump messages into it.
#pragma once

#include "shell/engine.h"

namespace vellumite {

void dispatch_message(Engine& e, const Message& message);
// Removes one waiting message and dispatches it; false when none waits.
bool pump_message(Engine& e);
// Answers a close request that waits in the queue while the scenario runs
// without waiting for the player, so the window can always be closed.
void answer_pending_close(Engine& e);
// Carries out a menu command.
void menu_command(Engine& e, int id);
// Runs the exit sequence (once) and ends the program.
[[noreturn]] void end_program(Engine& e, ExitReason reason);

}  // namespace vellumite
