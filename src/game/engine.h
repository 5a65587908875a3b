// The engine: every subsystem's state in one value. Command handlers and
// waiting loops receive it; nothing of the engine lives in globals, so a test
// can create an engine, run a game and throw it away many times in a process.
#pragma once

#include "audio/audio_state.h"
#include "game/text/text_window.h"
#include "graphics/graphics_state.h"
#include "platform/platform.h"
#include "resources/plugin_state.h"
#include "save/save_state.h"
#include "script/script_state.h"
#include "script/variables.h"
#include "shell/auto_play_state.h"
#include "shell/shell_state.h"

namespace vellumite {

struct Engine {
  Engine(Platform& platform_in, Automation& automation_in)
      : platform(platform_in), automation(automation_in) {}
  // A backend that is both, as both of ours are.
  template <class Backend>
  explicit Engine(Backend& backend)
      : Engine(static_cast<Platform&>(backend), static_cast<Automation&>(backend)) {}
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Platform& platform;      // the operating system: window, input, clock, files, sound
  Automation& automation;  // scripted input, the trace, the end of the run
  ShellState shell;
  ScriptState script;
  VarState vars;
  GraphicsState graphics;
  TextState text;
  AudioState audio;
  PluginState plugins;
  SaveState save;
  AutoPlayState autoplay;
};

}  // namespace vellumite
