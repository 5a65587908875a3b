// The program's entry: the single-instance guard, the scratch folder, the
// window, and the cycle that loads the scenario and runs it.
#pragma once

#include "game/engine.h"

namespace vellumite {

// Runs the game in the current directory on `platform`, driven and recorded
// by `automation`, until it ends, and
// returns the exit code. The trace gets the variables and the exit line.
int run_program(Platform& platform, Automation& automation);

// The parts of run_program, for tests that drive an engine themselves.
void program_entry(Engine& e);
void scenario_cycle(Engine& e);
// Reads config.txt (once per process).
void read_config(Engine& e);
// Writes every non-zero numeric and non-empty string variable to the trace.
void trace_variables(Engine& e);

}  // namespace vellumite
