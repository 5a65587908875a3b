// What the define block sets for the right-click menu, the slot lists, the
// yes/no box and the text history screen: the items, the look, the colours
// and the sounds, and what a right click does.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/colour.h"

namespace vellumite {

// What a right click in a click wait or a choice does.
enum RightClickSetting : int32_t {
  kRightClickOff = -2,      // roff
  kRightClickHistory = -1,  // rlookback
  kRightClickHide = 0,      // hide the window until a click (start-up)
  kRightClickMenu = 1,      // rmenu
};

// The actions of the menu and of systemcall.
enum MenuAction : int32_t {
  kActionHistory = 0,
  kActionHide = 1,
  kActionLoad = 2,
  kActionSave = 3,
  kActionReset = 4,
  kActionSkip = 5,
};

struct RightClickItem {
  std::string title;  // Shift-JIS
  int32_t action = kActionHistory;
};

constexpr int kMaxMenuItems = 50;

struct MenuSettings {
  int32_t right_click = kRightClickHide;
  int32_t right_click_enabled = 1;  // rmode
  std::vector<RightClickItem> items;

  // menusetwindow
  int32_t font_width = 26;
  int32_t font_height = 26;
  int32_t pitch_x = 26;
  int32_t pitch_y = 28;
  int32_t bold = 0;
  int32_t shadow = 0;
  Colour tint = Colour::from_rgb(0x999999);

  // menuselectcolor: the item under the pointer, the others, and a slot that
  // cannot be chosen.
  Colour highlight_colour = Colour::from_rgb(0xFFFFFF);
  Colour normal_colour = Colour::from_rgb(0xAAAAAA);
  Colour unavailable_colour = Colour::from_rgb(0x555599);

  // menuselectvoice (empty: none): [0] menu opens, [1] cancelled with a
  // right click, [2] pointer onto another item, [3] item clicked, [4]
  // refused, [5] yes clicked, [6] no clicked.
  std::array<std::string, 7> sounds;

  // The text history screen: lookbackcolor, lookbackvoice (the page-turn
  // sound, empty: none).
  Colour lookback_colour = Colour::from_rgb(0xFFFF40);
  std::string lookback_voice;

  // Whether the menu screen open now already shows its darkened backdrop;
  // cleared whenever the menu's text is cleared.
  bool backdrop_drawn = false;
};

}  // namespace vellumite
