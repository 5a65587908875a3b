// Conditions and jumps: if, notif, cmp, goto, skip, gosub, return and trap.
#pragma once

#include <string>

#include "game/engine.h"

namespace vellumite {

// Whether the file `name` is in the log of files the game has read; this is
// what the `fchk` condition asks.
bool file_log_contains(Engine& e, const std::string& name);

}  // namespace vellumite
