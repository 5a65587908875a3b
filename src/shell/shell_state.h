// State of the application shell: the input fields the window procedure
// records, the player's menu settings, and the process-wide flags.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "shell/menu.h"
#include "shell/player_settings.h"

namespace vellumite {

// Menu command ids.
enum MenuId : int {
  kMenuExit = 40001,
  kMenuFullScreen = 40002,
  kMenuWindow = 40003,
  kMenuFontDefault = 40004,
  kMenuVersion = 40005,
  kMenuSkipToChoice = 40006,
  kMenuPageMode = 40007,
  kMenuDefaultMode = 40008,
  kMenuSpeedSlow = 40014,
  kMenuSpeedNormal = 40015,
  kMenuSpeedFast = 40016,
  kMenuWaveOn = 40017,
  kMenuWaveOff = 40018,
  kMenuAutoMode = 40019,
  kMenuCdDrive = 40020,
  kMenuCddaOn = 40021,
  kMenuCddaOff = 40022,
};

constexpr int kFontTableSize = 256;

struct ShellState {
  // What the window procedure records (Shift-JIS free, plain integers).
  int last_message = -1;  // a MessageKind, or -1 before the first message
  int mouse_x = 0;
  int mouse_y = 0;
  int click_x = 0;
  int click_y = 0;
  bool clicked_flag = false;
  bool rclicked_flag = false;
  bool auto_mode = false;
  bool skip_to_choice = false;
  bool ctrl_skip = false;  // skip_to_choice was set by Ctrl, held down

  // Window and player settings.
  bool full_screen = false;
  bool menu_hidden = false;
  bool wave_enabled = true;
  bool cdda_enabled = true;
  int text_speed_index = 1;
  int page_mode = 0;
  std::string font_face;          // Shift-JIS
  std::string default_font_face;  // Shift-JIS; set once per process
  int font_menu_id = kMenuFontDefault;
  std::array<std::string, kFontTableSize> font_table;
  std::string cd_drive;
  std::string version_text;  // Shift-JIS
  std::string credit_text;   // Shift-JIS
  bool mode_ext = false;
  bool autoclick_active = false;
  PlayerOptions player;  // the settings file's [player] switches

  Menu menu;

  // Process-wide.
  bool cd_fade_disabled = false;
  std::string temp_folder;
  bool timer_running = false;
  bool window_destroyed = false;
  // The clock at the last restart of the game (see count_restart).
  uint32_t last_restart_ms = 0;
  bool restarted = false;
};

}  // namespace vellumite
