#include "game/shell/player_keys.h"

#include <optional>
#include <string>

#include "base/sjis.h"
#include "game/save/read_skip.h"
#include "platform/trace_text.h"

namespace vellumite {
namespace {

void toggle_skip_read_only(Engine& e) {
  PlayerOptions& player = e.shell.player;
  player.skip_read_only = !player.skip_read_only;
  if (e.automation.tracing()) {
    e.automation.trace("readskip", player.skip_read_only ? "on" : "off");
  }
  const std::string text = e.platform.read_settings().value_or("");
  e.platform.write_settings(
      set_setting(text, "player", "skip_read_only", player.skip_read_only ? "1" : "0"));
}

void take_screenshot(Engine& e) {
  const std::string name = e.platform.save_screenshot();
  if (!name.empty() && e.automation.tracing()) {
    e.automation.trace("screenshot", quote_trace_string(name));
  }
}

// Escape is a right click where the pointer is.
void post_right_click(Engine& e) {
  int x = 0, y = 0;
  if (!e.platform.pointer_position(x, y)) {
    x = e.shell.mouse_x;
    y = e.shell.mouse_y;
  }
  e.platform.post_message(Message{MessageKind::RButtonDown, x, y, 0});
  e.platform.post_message(Message{MessageKind::RButtonUp, x, y, 0});
}

}  // namespace

void load_player_options(Engine& e) {
  PlayerOptions& player = e.shell.player;
  if (std::optional<std::string> text = e.platform.read_settings()) {
    parse_player_settings(*text, player);
  }
  parse_player_settings(e.platform.settings_overrides(), player);
}

bool player_key(Engine& e, uint32_t key) {
  ShellState& shell = e.shell;
  switch (key) {
    case kKeyCtrlDown:
      shell.skip_to_choice = true;
      shell.ctrl_skip = true;
      return true;
    case kKeyCtrlUp:
      // A skip that a choice or a click ended meanwhile stays ended.
      if (shell.ctrl_skip) shell.skip_to_choice = false;
      shell.ctrl_skip = false;
      return true;
    case kKeyEscape: post_right_click(e); return true;
    case kKeyF9: toggle_skip_read_only(e); return true;
    case kKeyF12: take_screenshot(e); return true;
    default: return false;
  }
}

int arrow_step(uint32_t key, int current, int count) {
  if (count <= 0) return -1;
  int step = 0;
  if (key == kKeyUp || key == kKeyLeft) step = -1;
  if (key == kKeyDown || key == kKeyRight) step = 1;
  if (step == 0) return -1;
  if (current < 0 || current >= count) return step > 0 ? 0 : count - 1;
  return (current + step + count) % count;
}

}  // namespace vellumite
