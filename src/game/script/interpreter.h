// The interpreter: runs the scenario statement by statement straight from
// the buffer, and the reset that returns the game to *start.
#pragma once

#include <string>
#include <string_view>

#include "game/engine.h"

namespace vellumite {

// Runs the *define block (define_mode true) until `game`, or the game until
// a restart is requested.
void run_interpreter(Engine& e, bool define_mode);
void dispatch_command(Engine& e, std::string_view word);
// Builds the text line at script_pos with variables substituted; leaves
// script_pos on the line feed (or NUL) that ends it.
std::string assemble_text_line(Engine& e);
// Returns the game to *start: sound, text window, pictures and local
// variables reset, the gosub stack emptied.
void game_reset(Engine& e);

}  // namespace vellumite
