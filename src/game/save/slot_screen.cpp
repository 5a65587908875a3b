// The slot list: the title and one line per slot (its number and the time
// its file was last written), in the menu style, answered with the mouse.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "game/audio/sound.h"
#include "game/graphics/effects.h"
#include "game/graphics/layers.h"
#include "game/save/persistent_files.h"
#include "game/save/save_slots.h"
#include "game/shell/player_keys.h"
#include "game/shell/player_wait.h"
#include "game/text/selection.h"
#include "game/text/system_call.h"
#include "game/text/text_window.h"
#include "resources/data_files.h"

namespace vellumite {
namespace {

constexpr std::string_view kFullSpace = "\x81\x40";  // "　"
constexpr std::string_view kFullDash = "\x81\x7c";   // "－"

void play_menu_sound(Engine& e, const std::string& name) {
  if (!name.empty()) play_wave(e, name, false);
}

void append_full_width_digit(std::string& out, char digit) {
  out += '\x82';
  out += static_cast<char>(0x4F + (digit - '0'));
}

// "%2d月%2d日%2d時%02d分" with full-width digits and spaces.
std::string full_width_time(const LocalTime& t) {
  static const std::string kMonth = to_sjis("月"), kDay = to_sjis("日"), kHour = to_sjis("時"),
                           kMinute = to_sjis("分");
  char ascii[16];
  std::string out;
  auto field = [&](int value, const char* format, const std::string& unit) {
    std::snprintf(ascii, sizeof ascii, format, std::clamp(value, 0, 99));
    for (const char* c = ascii; *c != '\0'; ++c) {
      if (*c == ' ') {
        out += kFullSpace;
      } else {
        append_full_width_digit(out, *c);
      }
    }
    out += unit;
  };
  field(t.month, "%2d", kMonth);
  field(t.day, "%2d", kDay);
  field(t.hour, "%2d", kHour);
  field(t.minute, "%02d", kMinute);
  return out;
}

struct Slot {
  std::string label;  // Shift-JIS
  bool exists = false;
};

std::vector<Slot> slot_labels(Engine& e) {
  std::vector<Slot> slots(static_cast<size_t>(slot_count(e)));
  for (size_t i = 0; i < slots.size(); ++i) {
    slots[i].label = slot_label(e, static_cast<int>(i), &slots[i].exists);
  }
  return slots;
}

// Shows the empty text window as the backdrop of the list.
void show_empty_window(Engine& e) {
  TextWindow& w = e.text.window;
  w.window_in_scene = false;
  refresh_scene(e, nullptr);
  draw_window_background(e, w.window_left, w.window_top, w.window_right, w.window_bottom,
                         e.graphics.scene);
  const Rect area = clip_to_screen(w.window_left, w.window_top, w.window_right, w.window_bottom);
  if (!area.empty()) run_effect(e, 1, 0, "", &area);
  w.window_shown = true;
  w.window_in_scene = true;
}

}  // namespace

int slot_count(const Engine& e) { return std::clamp(e.save.save_count, 0, kMaxSaveSlots); }

std::string slot_label(Engine& e, int i, bool* exists) {
  const SaveState& s = e.save;
  std::string label = s.slot_prefix;
  if (slot_count(e) > 9 && i < 9) label += kFullSpace;
  for (char d : std::to_string(i + 1)) append_full_width_digit(label, d);
  label += kFullSpace;
  const std::string path = find_data_file(e.platform, data_folder(e), save_file_name(i + 1));
  const std::optional<LocalTime> time =
      path.empty() ? std::nullopt : e.platform.file_modified(path);
  if (exists != nullptr) *exists = time.has_value();
  if (time) {
    label += full_width_time(*time);
  } else {
    for (int k = 0; k < 12; ++k) label += kFullDash;
  }
  return label;
}

int save_slot_screen(Engine& e, bool is_save, std::string& label) {
  label.clear();
  Platform& p = e.platform;
  ShellState& shell = e.shell;
  const MenuSettings& m = e.text.menu;
  // Opened from the right-click menu, the list is drawn over a fresh menu
  // backdrop, so nothing of the menu it came from stays on the screen.
  const MenuLook look = e.script.menu_busy ? menu_look(e) : menu_layout(m);
  const int64_t pitch_x = m.pitch_x, pitch_y = m.pitch_y;
  const SaveState& s = e.save;

  if (!e.script.menu_busy) show_empty_window(e);

  const std::vector<Slot> slots = slot_labels(e);
  const auto n = static_cast<int64_t>(slots.size());
  const std::string& title = is_save ? s.save_title : s.load_title;
  const int64_t title_x =
      std::max<int64_t>(320 - static_cast<int64_t>(title.size()) * pitch_x / 4, 1);
  const int64_t title_y = std::max<int64_t>(240 - (n / 2 + 1) * pitch_y, 1);
  play_menu_sound(e, m.sounds[0]);
  const TextWindow& w = e.text.window;
  draw_menu_text_at(e, title, title_x, title_y, w.text_colour, look);

  const int64_t quarter = n == 0 ? 0 : static_cast<int64_t>(slots[0].label.size()) * pitch_x / 4;
  const int64_t left = std::max<int64_t>(320 - quarter, 1);
  const int64_t right = 320 + quarter;
  const int64_t top = std::max<int64_t>(240 - (n / 2 - 1) * pitch_y, 1);
  const auto own_colour = [&](int i) {
    return slots[static_cast<size_t>(i)].exists ? m.normal_colour : m.unavailable_colour;
  };
  const auto draw_slot = [&](int i, Colour colour) {
    draw_menu_text_at(e, slots[static_cast<size_t>(i)].label, left, top + i * pitch_y, colour,
                      look);
  };
  for (int i = 0; i < n; ++i) draw_slot(i, own_colour(i));

  // Input made before the list does not count; the pointer's position is
  // posted again so that the slot under it lights up at once.
  p.remove_messages(MessageKind::LButtonUp);
  p.remove_messages(MessageKind::Char);
  shell.clicked_flag = false;
  shell.rclicked_flag = false;
  int px = shell.mouse_x, py = shell.mouse_y;
  p.pointer_position(px, py);
  p.post_message(Message{MessageKind::MouseMove, px, py, 0});

  int current = -1;
  int chosen = -1;
  WaitRules rules;
  rules.kind = is_save ? "slots save" : "slots load";
  rules.begin_when_idle = true;
  rules.animate_layers = false;
  rules.animate_when_beginning = false;
  rules.yield_after_message = false;
  rules.after_poll = [&](const Message* msg) {
    if (msg == nullptr) return false;
    // An arrow key moves the pointer onto the next slot at once.
    bool moved = false;
    if (msg->kind == MessageKind::Key) {
      if (const int next = arrow_step(msg->param, current, static_cast<int>(n)); next >= 0) {
        shell.mouse_x = static_cast<int>(std::clamp<int64_t>(left + pitch_x, 0, kWindowWidth - 1));
        shell.mouse_y = static_cast<int>(
            std::clamp<int64_t>(top + next * pitch_y + pitch_y / 2, 0, kWindowHeight - 1));
        p.move_pointer(shell.mouse_x, shell.mouse_y);
        moved = true;
      }
    }
    if (msg->kind == MessageKind::MouseMove || moved) {
      int hit = -1;
      for (int i = 0; i < n && hit == -1; ++i) {
        const int64_t y0 = top + i * pitch_y;
        if (y0 <= shell.mouse_y && shell.mouse_y < y0 + pitch_y && left <= shell.mouse_x &&
            shell.mouse_x <= right) {
          hit = i;
        }
      }
      if (hit != current) {
        if (hit != -1) play_menu_sound(e, m.sounds[2]);
        if (current != -1) draw_slot(current, own_colour(current));
        if (hit != -1) draw_slot(hit, m.highlight_colour);
        current = hit;
      }
    }
    if (shell.clicked_flag) {
      shell.clicked_flag = false;
      if (current == -1) return false;
      if (!is_save && !slots[static_cast<size_t>(current)].exists) {
        play_menu_sound(e, m.sounds[4]);
        return false;
      }
      play_menu_sound(e, m.sounds[3]);
      draw_slot(current, own_colour(current));
      const size_t keep = s.slot_prefix.size() + (n < 10 ? 2 : 4);
      label = slots[static_cast<size_t>(current)].label.substr(0, keep);
      chosen = current;
      return true;
    }
    if (shell.rclicked_flag) {
      shell.rclicked_flag = false;
      if (current != -1) draw_slot(current, own_colour(current));
      play_menu_sound(e, m.sounds[1]);
      return true;
    }
    return false;
  };
  run_wait(e, rules);
  if (e.automation.tracing()) e.automation.trace("slot", std::to_string(chosen));
  return chosen;
}

}  // namespace vellumite
