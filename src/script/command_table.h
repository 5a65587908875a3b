// The command table: every command word of the scenario language, its class
// (allowed in both phases, in the *define block only, or in the game only)
// and its handler. Handlers read their own arguments with the readers.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vellumite {

struct Engine;

using CommandHandler = void (*)(Engine&);

enum class CommandClass : uint8_t { Shared, DefineOnly, GameOnly };

struct CommandEntry {
  std::string_view name;
  CommandClass command_class;
  CommandHandler handler;  // null until the command is built
};

// The entry for `word` in the phase given by `define_mode`, or null when the
// word is not a command of that phase (or not built).
const CommandEntry* find_command(std::string_view word, bool define_mode);

// Every command word, for tests and tools.
const CommandEntry* all_commands(size_t& count);

// Gives `name` its handler in `entries`. A word that is not there, or that
// has a handler already, is a programming error (two subsystems claiming one
// command): the program stops at once with a message.
void bind_command(std::span<CommandEntry> entries, std::string_view name, CommandHandler handler);

// Subsystems attach their handlers through this while the table is built.
class CommandBinder {
 public:
  virtual ~CommandBinder() = default;
  virtual void bind(std::string_view name, CommandHandler handler) = 0;
};

// One function per subsystem that has commands.
void bind_core_commands(CommandBinder& binder);
void bind_variable_commands(CommandBinder& binder);
void bind_control_flow_commands(CommandBinder& binder);
void bind_text_commands(CommandBinder& binder);
void bind_scene_commands(CommandBinder& binder);
void bind_layer_commands(CommandBinder& binder);
void bind_effect_commands(CommandBinder& binder);
void bind_selection_commands(CommandBinder& binder);
void bind_button_commands(CommandBinder& binder);
void bind_input_commands(CommandBinder& binder);
void bind_menu_commands(CommandBinder& binder);
void bind_right_click_commands(CommandBinder& binder);
void bind_sound_commands(CommandBinder& binder);
void bind_plugin_commands(CommandBinder& binder);
void bind_screen_extra_commands(CommandBinder& binder);
void bind_save_commands(CommandBinder& binder);

}  // namespace vellumite
