// The files that carry state from one run to the next, apart from the save
// slots: "gloval.sav" (global variables 200..4095), "Velmflog.dat" (the
// read log behind `fchk`) and "envdata" (the player's menu choices). A
// missing, short or garbled file gives defaults, never an error.
#pragma once

#include <string>
#include <string_view>

namespace vellumite {

struct Engine;
struct VarState;
struct ShellState;

// The folder the data files live in ("" for the game folder), chosen the
// first time it is asked for.
const std::string& data_folder(Engine& e);

// The savenumber and savename settings every cycle starts from.
void reset_save_cycle_defaults(Engine& e);

// gloval.sav into the global variables (0 and empty where it ends or is
// missing); written at exit after `globalon`.
void read_globals(Engine& e);
void write_globals(Engine& e);
// The bytes of the global variables in the file's format, and back.
std::string globals_image(const VarState& vars);
void load_globals_image(VarState& vars, std::string_view bytes);

// The read log: names in upper case, at most 4000.
void log_file_name(Engine& e, std::string_view name);
// (file_log_contains is declared with `fchk`, in script/control_flow.h.)
void read_file_log(Engine& e);
void write_file_log(Engine& e);
// The bytes of Velmflog.dat for the log, and back. Names the format cannot
// carry (a scrambled byte that would end the entry, or longer than a reader
// takes) are left out. Reading adds the file's names to those already
// logged, so a restart (which reads the file again) forgets none seen
// before it.
std::string file_log_image(Engine& e);
void load_file_log_image(Engine& e, std::string_view bytes);

// envdata: the menu choices, restored after the define block by posting the
// menu commands.
void read_environment(Engine& e);
void write_environment(Engine& e);
std::string environment_image(const ShellState& shell);
void load_environment_image(Engine& e, std::string_view bytes);

// What the cycle does after the define block, and the exit sequence.
void read_files_after_define(Engine& e);
void write_files_at_exit(Engine& e);

}  // namespace vellumite
