#include "game/shell/entry.h"

#include <memory>
#include <new>

#include "base/sjis.h"
#include "game/audio/player_volume.h"
#include "game/audio/sound.h"
#include "game/graphics/effects.h"
#include "game/save/persistent_files.h"
#include "game/script/interpreter.h"
#include "game/script/labels.h"
#include "game/shell/auto_play.h"
#include "game/shell/dialogs.h"
#include "game/shell/player_keys.h"
#include "game/shell/window_proc.h"
#include "game/text/lookback.h"
#include "game/text/selection.h"
#include "game/text/text_window.h"
#include "graphics/graphics_state.h"
#include "platform/trace_text.h"
#include "resources/game_files.h"
#include "resources/plugins.h"
#include "script/scenario_encoding.h"
#include "text/font_match.h"

namespace vellumite {
namespace {

constexpr uint32_t kTimerPeriod = 100;

// Settings that are set once when the process starts and survive restarts.
void set_process_defaults(Engine& e) {
  ShellState& shell = e.shell;
  shell.default_font_face = to_sjis("ＭＳ ゴシック");
  shell.font_face = shell.default_font_face;
  shell.font_menu_id = kMenuFontDefault;
  shell.version_text = "Vellumite Version 1.24";
  shell.credit_text = "Vellumite developers";
  shell.menu.build();
}

// Step 1 of every cycle: the per-cycle flags and the menu settings.
void reset_cycle_state(Engine& e) {
  ScriptState& s = e.script;
  ShellState& shell = e.shell;
  s.restart_requested = false;
  s.label_count = 0;
  s.reset_requested = false;
  s.load_done = false;
  s.menu_busy = false;
  shell.clicked_flag = false;
  shell.rclicked_flag = false;
  shell.wave_enabled = true;
  shell.menu.check_only(kMenuWaveOn, {kMenuWaveOff});
  shell.cdda_enabled = true;
  shell.menu.check_only(kMenuCddaOn, {kMenuCddaOff});
  shell.text_speed_index = 1;
  shell.menu.check_only(kMenuSpeedNormal, {kMenuSpeedSlow, kMenuSpeedFast});
  reset_save_cycle_defaults(e);
}

// Memory ran out somewhere below: the pictures, which hold nearly all of it,
// are released so that the exit sequence has room to run, and the program
// ends as after a fatal error.
int end_out_of_memory(Engine& e) {
  GraphicsState& g = e.graphics;
  for (SpriteSlot& slot : g.layers.sprites) free_picture(slot.picture);
  for (StandingSlot& slot : g.layers.standing) free_picture(slot.picture);
  for (Picture* p : {&g.background, &g.scratch, &g.window_picture, &g.button_source}) {
    free_picture(*p);
  }
  e.platform.log("out of memory");
  try {
    end_program(e, ExitReason::ScriptError);
  } catch (const ProgramExit& exit) {
    return exit.code;
  } catch (const std::bad_alloc&) {
  }
  return e.automation.exit_code_for(ExitReason::ScriptError);
}

}  // namespace

void read_config(Engine& e) {
  std::optional<std::string> config = read_game_file(e.platform, "config.txt");
  if (!config) return;
  e.script.utf8_scenario = config_says_utf8(*config);
  std::string_view text = *config;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    // Only the first nine characters are compared.
    if (line.substr(0, 9) == "cdfadeoff") e.shell.cd_fade_disabled = true;
  }
}

void scenario_cycle(Engine& e) {
  read_config(e);
  for (;;) {
    // A scenario that restarts over and over still answers the close box.
    answer_pending_close(e);
    reset_effect_table(e.graphics.effects);
    reset_cycle_state(e);
    reset_audio_cycle(e);
    reset_plugin_registries(e.plugins);
    reset_text_cycle_defaults(e.text);
    reset_selection_cycle_defaults(e);
    seed_random(e.vars, e.platform.ticks());
    create_screen_pictures(e.graphics);
    read_globals(e);
    reset_variable_tables(e.vars);
    e.shell.menu.set_checked(kMenuFontDefault, true);
    install_font_menu(e.shell, list_japanese_fixed_fonts());

    load_scenario(e);
    build_label_table(e);
    prepare_play(e);
    run_interpreter(e, true);
    load_default_lookback_buttons(e);
    read_files_after_define(e);

    e.platform.start_timer(kTimerPeriod);
    e.shell.timer_running = true;
    e.platform.show_window();

    while (!e.script.restart_requested) {
      game_reset(e);
      warp_if_pending(e);
      run_interpreter(e, false);
    }
    e.script.script_buffer.reset();
  }
}

void program_entry(Engine& e) {
  if (!e.platform.acquire_instance_guard()) {
    message_box(e, "起動エラー", "同時に二つ実行しないでください", BoxButtons::Ok);
    throw ProgramExit{0};
  }
  e.shell.temp_folder = e.platform.prepare_temp_folder();
  set_process_defaults(e);
  e.platform.set_title("");
  scenario_cycle(e);
}

void trace_variables(Engine& e) {
  if (!e.automation.tracing()) return;
  std::string fields;
  for (int i = 0; i < kVariableCount; ++i) {
    int32_t value = e.vars.num_vars[static_cast<size_t>(i)];
    if (value == 0) continue;
    fields = '%';
    fields += std::to_string(i);
    fields += ' ';
    fields += std::to_string(value);
    e.automation.trace("var", fields);
  }
  for (int i = 0; i < kVariableCount; ++i) {
    const std::string& text = e.vars.str_vars[static_cast<size_t>(i)];
    if (text.empty()) continue;
    fields = '$';
    fields += std::to_string(i);
    fields += ' ';
    fields += quote_trace_string(to_utf8(text));
    e.automation.trace("var", fields);
  }
}

int run_program(Platform& platform, Automation& automation) {
  auto engine = std::make_unique<Engine>(platform, automation);
  int code = 0;
  attach_audio(*engine);
  load_player_volumes(*engine);
  load_player_options(*engine);
  try {
    program_entry(*engine);
  } catch (const ProgramExit& exit) {
    code = exit.code;
    // Every end of a started game leaves as a close does (the timeout too).
    if (!engine->shell.temp_folder.empty()) run_exit_sequence(*engine);
  } catch (const std::bad_alloc&) {
    code = end_out_of_memory(*engine);
  }
  detach_audio(*engine);
  report_auto_play(*engine);
  trace_variables(*engine);
  automation.finish(code);
  return code;
}

}  // namespace vellumite
