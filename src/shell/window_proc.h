// The window procedure: the only receiver of the player's input. It records
// input into the shell state, carries out menu commands and handles closing;
// it never runs script code. Waiting loops pump messages into it.
#pragma once

#include <string>
#include <string_view>

#include "shell/engine.h"

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
// A wait for the player in progress.
struct PlayerWait {
  std::string kind;
  bool ends_by_time = false;
  bool input_seen = false;  // input was handled since the wait (last) began
};
// Begins a wait for the player (as begin_player_wait) and returns its state
// for pump_player_wait.
PlayerWait start_player_wait(Engine& e, std::string_view kind, bool ends_by_time = false);
// Removes and dispatches one waiting message, like pump_message. When the
// queue has run dry after the wait handled input that did not end it, the
// wait begins again: the headless runner then delivers its next scripted
// event, or ends the program when none is left.
bool pump_player_wait(Engine& e, PlayerWait& wait);
// Carries out a menu command.
void menu_command(Engine& e, int id);
// Runs the exit sequence (once) and ends the program.
[[noreturn]] void end_program(Engine& e, ExitReason reason);

}  // namespace vellumite
