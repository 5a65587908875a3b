#include "game/shell/window_proc.h"

#include "base/sjis.h"
#include "game/audio/player_volume.h"
#include "game/audio/sound.h"
#include "game/graphics/effects.h"
#include "game/save/persistent_files.h"
#include "game/shell/cd_drive_dialog.h"
#include "game/shell/dialogs.h"
#include "game/shell/menu_bar.h"
#include "game/shell/player_keys.h"
#include "resources/plugins.h"

namespace vellumite {
namespace {

constexpr uint32_t kTimerPeriod = 100;

void store_click_position(ShellState& shell, const Message& m) {
  shell.mouse_x = m.x;
  shell.mouse_y = m.y;
  shell.click_x = m.x;
  shell.click_y = m.y;
}

// A button release ends auto mode and skip mode and is then swallowed.
void button_release(ShellState& shell, const Message& m, bool& flag) {
  if (shell.auto_mode || shell.skip_to_choice) {
    shell.auto_mode = false;
    shell.skip_to_choice = false;
    return;
  }
  flag = true;
  store_click_position(shell, m);
}

// In full screen the bar lies over the picture's top rows only while the
// pointer is in them.
void full_screen_menu_rule(Engine& e) {
  ShellState& shell = e.shell;
  if (!shell.full_screen) return;
  if (shell.mouse_y < 20 && shell.menu_hidden) {
    shell.menu_hidden = false;
    e.platform.overlay_menu_bar(true);
  } else if (shell.mouse_y >= 20 && !shell.menu_hidden) {
    shell.menu_hidden = true;
    e.platform.overlay_menu_bar(false);
  }
}

void enter_full_screen(Engine& e) {
  ShellState& shell = e.shell;
  if (shell.full_screen) return;
  if (!e.platform.set_full_screen(true)) return;
  shell.full_screen = true;
  shell.menu_hidden = true;
  e.platform.overlay_menu_bar(false);
  shell.menu.check_only(kMenuFullScreen, {kMenuWindow});
  e.platform.present(kWindowRect);
  e.platform.post_message(Message{MessageKind::MouseMove, 0, 1, 0});
}

void leave_full_screen(Engine& e) {
  ShellState& shell = e.shell;
  if (!shell.full_screen) return;
  bool left = false;
  for (int attempt = 0; attempt < 10 && !left; ++attempt) {
    if (attempt > 0) e.platform.sleep(5);
    left = e.platform.set_full_screen(false);
  }
  if (!left) return;
  shell.full_screen = false;
  shell.menu_hidden = false;
  e.platform.overlay_menu_bar(false);  // the strip is above the picture again
  shell.menu.check_only(kMenuWindow, {kMenuFullScreen});
  e.platform.present(kWindowRect);
  e.platform.post_message(Message{MessageKind::MouseMove, 0, 1, 0});
}

void exit_confirmation(Engine& e) {
  e.platform.kill_timer();
  e.shell.timer_running = false;
  BoxAnswer answer = message_box(e, "終了確認", "終了しますか？", BoxButtons::YesNo);
  if (answer == BoxAnswer::Yes) {
    e.shell.auto_mode = false;
    e.shell.skip_to_choice = false;
    e.shell.autoclick_active = false;
    end_program(e, ExitReason::Closed);
  }
  e.platform.start_timer(kTimerPeriod);
  e.shell.timer_running = true;
}

// What the destruction of the main window does: save what must be saved,
// silence everything and give the display back.
void exit_sequence(Engine& e) {
  if (e.shell.window_destroyed) return;
  e.shell.window_destroyed = true;
  e.platform.kill_timer();
  e.shell.timer_running = false;
  write_files_at_exit(e);
  stop_all_sound(e, false);
  unload_plugins(e.platform, e.plugins);
  e.platform.restore_display_mode();
  e.platform.remove_temp_folder();
}

}  // namespace

void menu_command(Engine& e, int id) {
  ShellState& shell = e.shell;
  switch (id) {
    case kMenuExit: e.platform.post_message(Message{MessageKind::Close, 0, 0, 0}); return;
    case kMenuFullScreen: enter_full_screen(e); return;
    case kMenuWindow: leave_full_screen(e); return;
    case kMenuFontDefault:
      shell.font_face = shell.default_font_face;
      shell.menu.check_only(kMenuFontDefault, {shell.font_menu_id});
      shell.font_menu_id = kMenuFontDefault;
      return;
    case kMenuVersion:
      message_box(e, "バージョン情報", to_utf8(shell.version_text + "\n" + shell.credit_text),
                  BoxButtons::Ok);
      return;
    case kMenuSkipToChoice: shell.skip_to_choice = true; return;
    case kMenuPageMode:
      if (shell.autoclick_active) return;
      shell.menu.check_only(kMenuPageMode, {kMenuDefaultMode});
      shell.page_mode = 1;
      return;
    case kMenuDefaultMode:
      shell.menu.check_only(kMenuDefaultMode, {kMenuPageMode});
      shell.page_mode = 0;
      return;
    case kMenuSpeedSlow:
    case kMenuSpeedNormal:
    case kMenuSpeedFast:
      shell.menu.check_only(id, {kMenuSpeedSlow, kMenuSpeedNormal, kMenuSpeedFast});
      shell.text_speed_index = id - kMenuSpeedSlow;
      return;
    case kMenuWaveOn:
      shell.menu.check_only(kMenuWaveOn, {kMenuWaveOff});
      shell.wave_enabled = true;
      return;
    case kMenuWaveOff:
      shell.menu.check_only(kMenuWaveOff, {kMenuWaveOn});
      shell.wave_enabled = false;
      return;
    case kMenuAutoMode: shell.auto_mode = true; return;
    case kMenuCdDrive: cd_drive_dialog(e); return;
    case kMenuCddaOn:
      shell.menu.check_only(kMenuCddaOn, {kMenuCddaOff});
      shell.cdda_enabled = true;
      return;
    case kMenuCddaOff:
      stop_cd(e);
      shell.menu.check_only(kMenuCddaOff, {kMenuCddaOn});
      shell.cdda_enabled = false;
      return;
    default: break;
  }
  // A font item: its id is the font's enumeration index. Ids that name no
  // listed font are ignored rather than read past the table.
  if (id < 0 || id >= kFontTableSize || shell.font_table[static_cast<size_t>(id)].empty()) return;
  shell.font_face = shell.font_table[static_cast<size_t>(id)];
  shell.menu.check_only(id, {shell.font_menu_id});
  shell.font_menu_id = id;
}

void dispatch_message(Engine& e, const Message& m) {
  ShellState& shell = e.shell;
  shell.last_message = static_cast<int>(m.kind);
  switch (m.kind) {
    case MessageKind::Paint:
      if (e.audio.video_playing) break;  // the film owns the window
      show_screen(e, nullptr);
      draw_menu_bar(e);
      break;
    case MessageKind::Close: exit_confirmation(e); break;
    case MessageKind::Char:
      if (m.param == 0x20 || m.param == 0x0D) shell.clicked_flag = true;
      break;
    case MessageKind::Command: menu_command(e, static_cast<int>(m.param)); break;
    case MessageKind::Timer: audio_timer_tick(e); break;
    case MessageKind::MouseMove:
      shell.mouse_x = m.x;
      shell.mouse_y = m.y;
      full_screen_menu_rule(e);
      break;
    case MessageKind::LButtonDown:
    case MessageKind::RButtonDown: store_click_position(shell, m); break;
    case MessageKind::LButtonUp: button_release(shell, m, shell.clicked_flag); break;
    case MessageKind::RButtonUp: button_release(shell, m, shell.rclicked_flag); break;
    case MessageKind::MediaNotify: cd_notify(e, m.param); break;
    case MessageKind::TextInput: break;  // typed text is for the input dialog only
    case MessageKind::MenuBarMouse: menu_bar_mouse(e, m); break;
    case MessageKind::Key:
      if (!player_key(e, m.param) && !volume_key(e, m.param)) menu_bar_key(e, m);
      break;
    case MessageKind::Wheel: break;  // for the waits that page the text history
    case MessageKind::ToggleFullScreen:
      // The same as choosing フルスクリーン or ウィンドウ, check marks included.
      menu_command(e, shell.full_screen ? kMenuWindow : kMenuFullScreen);
      break;
  }
}

bool pump_message(Engine& e) {
  Message m;
  if (!e.platform.peek_message(m, true)) return false;
  dispatch_message(e, m);
  return true;
}

void answer_pending_close(Engine& e) {
  if (e.platform.take_message(MessageKind::Close)) {
    dispatch_message(e, Message{MessageKind::Close, 0, 0, 0});
  }
}

void begin_player_wait(Engine& e, std::string_view kind, bool ends_by_time, bool resumed) {
  if (!e.automation.begin_wait(kind, ends_by_time, resumed)) {
    end_program(e, ExitReason::InputExhausted);
  }
}

void end_program(Engine& e, ExitReason reason) {
  exit_sequence(e);
  throw ProgramExit{e.automation.exit_code_for(reason)};
}

void run_exit_sequence(Engine& e) { exit_sequence(e); }

}  // namespace vellumite
