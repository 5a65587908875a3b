// The right-click menu and the system actions, the yes/no box, hiding the
// window until a click and the darkened backdrop of the menu screens.
#include "game/text/system_call.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "game/audio/sound.h"
#include "game/engine.h"
#include "game/graphics/effects.h"
#include "game/graphics/layers.h"
#include "game/graphics/picture.h"
#include "game/save/save_slots.h"
#include "game/shell/dialogs.h"
#include "game/shell/player_keys.h"
#include "game/shell/player_wait.h"
#include "game/text/lookback.h"
#include "game/text/selection.h"
#include "game/text/text_window.h"
#include "graphics/pixel_kernels.h"
#include "platform/trace_text.h"

namespace vellumite {
namespace {

// The menu sounds by their place in menuselectvoice.
enum MenuSound {
  kSoundOpen,
  kSoundCancel,
  kSoundOver,
  kSoundClick,
  kSoundRefused,
  kSoundYes,
  kSoundNo
};

void play_menu_sound(Engine& e, MenuSound sound) {
  const std::string& name = e.text.menu.sounds[static_cast<size_t>(sound)];
  if (!name.empty()) play_wave(e, name, false);
}

// The page's text while a menu screen uses text_layer and text_alpha.
struct SavedText {
  std::vector<uint8_t> alpha;
  Picture layer;
};

SavedText save_text(Engine& e) {
  SavedText saved;
  saved.alpha = e.text.text_alpha;
  const Surface& layer = e.graphics.text_layer.surface;
  if (!layer.empty()) {
    create_blank(saved.layer, layer.width, layer.height, 24);
    blit(saved.layer, 0, 0, layer.width, layer.height, e.graphics.text_layer, 0, 0);
  }
  return saved;
}

void put_text_back(Engine& e, const SavedText& saved) {
  e.text.text_alpha = saved.alpha;
  if (saved.layer.empty()) return;
  const Surface& s = saved.layer.surface;
  blit(e.graphics.text_layer, 0, 0, s.width, s.height, saved.layer, 0, 0);
}

void show_whole_scene(Engine& e) {
  refresh_scene(e, nullptr);
  run_effect(e, 1, 0, "", nullptr);
}

// The page comes back as it was before the menu opened.
void restore(Engine& e, const SavedText& saved) {
  put_text_back(e, saved);
  show_whole_scene(e);
}

void run_window_effect(Engine& e) {
  const EffectState& fx = e.graphics.effects;
  run_effect(e, fx.window_effect_type, fx.window_effect_duration, fx.window_effect_mask, nullptr);
}

// The scene rebuilt without the text window and darkened as a whole with
// the menu tint, shown at once. Every backdrop starts from a fresh rebuild,
// so the tint never darkens twice.
void draw_menu_backdrop(Engine& e) {
  TextWindow& w = e.text.window;
  w.window_in_scene = false;
  refresh_scene(e, nullptr);
  w.window_in_scene = true;
  const Colour tint = e.text.menu.tint;
  Surface& s = e.graphics.scene.surface;
  for (int32_t y = 0; y < s.height; ++y) {
    kernels::tint(s.row(y), static_cast<size_t>(s.width), tint.blue, tint.green, tint.red);
  }
  w.window_shown = true;
  run_effect(e, 1, 0, "", nullptr);
  e.text.menu.backdrop_drawn = true;
}

// The window leaves the screen (with the window effect) until the player
// clicks, left or right, and then comes back.
void hide_until_click(Engine& e) {
  TextWindow& w = e.text.window;
  ShellState& shell = e.shell;
  const bool in_scene = w.window_in_scene;
  w.window_in_scene = false;
  LayerState& layers = e.graphics.layers;
  layers.hiding_window = true;
  refresh_scene(e, nullptr);
  layers.hiding_window = false;
  run_window_effect(e);
  WaitRules rules;
  rules.kind = "hidden";
  rules.after_poll = [&](const Message*) {
    if (!shell.clicked_flag && !shell.rclicked_flag) return false;
    shell.clicked_flag = false;
    shell.rclicked_flag = false;
    return true;
  };
  run_wait(e, rules);
  w.window_in_scene = in_scene;
  refresh_scene(e, nullptr);
  run_window_effect(e);
}

void trace_menu(Engine& e, const std::vector<std::string>& titles) {
  if (!e.automation.tracing()) return;
  std::string fields;
  for (const std::string& title : titles) {
    if (!fields.empty()) fields += ' ';
    fields += quote_trace_string(to_utf8(title));
  }
  e.automation.trace("menu", fields);
}

// The scenario's menu over the backdrop; the chosen item's action, or -1.
int choose_from_menu(Engine& e) {
  const MenuSettings& m = e.text.menu;
  clear_menu_text(e);
  std::vector<std::string> titles;
  for (const RightClickItem& item : m.items) titles.push_back(item.title);
  trace_menu(e, titles);
  const int index = choose_item(e, titles, 0, 0, menu_look(e));
  if (index < 0 || static_cast<size_t>(index) >= m.items.size()) return -1;
  return m.items[static_cast<size_t>(index)].action;
}

// Lets the player pick a slot and confirm it; the slot's index, or -1.
int confirmed_slot(Engine& e, bool save) {
  const std::string question =
      to_sjis(save ? "にセーブします。よろしいですか？" : "をロードします。よろしいですか？");
  std::string label;
  for (;;) {
    clear_menu_text(e);
    const int slot = save_slot_screen(e, save, label);
    if (slot < 0) return -1;
    clear_menu_text(e);
    if (yes_no(e, label + question) == 1) return slot;
  }
}

// The body of system_call while menu_busy is set.
void run_system_action(Engine& e, int action) {
  MenuSettings& m = e.text.menu;
  TextWindow& w = e.text.window;
  ScriptState& s = e.script;
  const bool right_click = action < 0;
  if (right_click && m.right_click == kRightClickHistory) {
    lookback(e);
    return;
  }
  if (right_click && m.right_click == kRightClickHide) {
    if (w.window_shown) hide_until_click(e);
    return;
  }
  const bool was_shown = w.window_shown;
  const SavedText saved = save_text(e);
  m.backdrop_drawn = false;
  w.window_shown = false;
  for (;;) {
    const int code = right_click ? choose_from_menu(e) : action;
    switch (code) {
      case kActionHistory:
        show_whole_scene(e);
        if (!right_click) {
          lookback(e);
          return;
        }
        put_text_back(e, saved);
        if (!lookback(e)) show_whole_scene(e);
        return;
      case kActionHide:
        if (right_click) {
          restore(e, saved);
          if (!was_shown) return;
        } else {
          w.window_shown = true;
        }
        hide_until_click(e);
        return;
      case kActionLoad: {
        const int slot = confirmed_slot(e, false);
        // A refused file leaves the game where it was.
        if (slot >= 0 && load_save(e, slot + 1)) {
          s.load_done = true;
          return;
        }
        restore(e, saved);
        return;
      }
      case kActionSave: {
        const int slot = confirmed_slot(e, true);
        // A failed write keeps the slot's old file; the player is told.
        if (slot >= 0 && !write_save(e, slot + 1)) {
          message_box(e, "セーブエラー", "セーブできませんでした。", BoxButtons::Ok);
        }
        restore(e, saved);
        return;
      }
      case kActionReset:
        clear_menu_text(e);
        if (yes_no(e, to_sjis("終了します。よろしいですか？")) == 1) {
          stop_all_sound(e, false);
          s.reset_requested = true;
          return;
        }
        if (right_click) continue;  // back to the menu
        restore(e, saved);
        return;
      case kActionSkip:
        e.platform.post_message(Message{MessageKind::Command, 0, 0, kMenuSkipToChoice});
        restore(e, saved);
        return;
      default: restore(e, saved); return;
    }
  }
}

// One answer of the yes/no box: its text, where it lies and its result.
struct Answer {
  std::string text;  // Shift-JIS
  int64_t x = 0;
  int64_t y = 0;
  int result = 0;
};

}  // namespace

MenuLook menu_layout(const MenuSettings& m) {
  MenuLook look;
  look.font_width = m.font_width;
  look.font_height = m.font_height;
  look.pitch_x = m.pitch_x;
  look.pitch_y = m.pitch_y;
  look.bold = m.bold;
  look.shadow = m.shadow;
  look.highlight_colour = m.highlight_colour;
  look.normal_colour = m.normal_colour;
  return look;
}

MenuLook menu_look(Engine& e) {
  const MenuSettings& m = e.text.menu;
  MenuLook look = menu_layout(m);
  for (size_t i = 0; i < look.sounds.size(); ++i) look.sounds[i] = m.sounds[i];
  look.draw_backdrop = draw_menu_backdrop;
  return look;
}

void clear_menu_text(Engine& e) {
  Picture& layer = e.graphics.text_layer;
  if (!layer.empty()) {
    fill_picture(layer, 0, 0, layer.surface.width, layer.surface.height, Colour{});
  }
  std::fill(e.text.text_alpha.begin(), e.text.text_alpha.end(), uint8_t{0});
  e.text.menu.backdrop_drawn = false;
}

int yes_no(Engine& e, std::string_view message) {
  ShellState& shell = e.shell;
  TextWindow& w = e.text.window;
  const MenuSettings& m = e.text.menu;
  shell.skip_to_choice = false;
  w.window_in_scene = true;
  w.window_shown = true;
  const MenuLook look = menu_look(e);
  const int64_t px = m.pitch_x, py = m.pitch_y;
  draw_menu_text_at(e, message,
                    std::max<int64_t>(320 - static_cast<int64_t>(message.size()) * px / 4, 1),
                    240 - py, w.text_colour, look);
  if (e.automation.tracing()) e.automation.trace("menu", quote_trace_string(to_utf8(message)));
  play_menu_sound(e, kSoundOpen);

  const std::array<Answer, 2> answers = {Answer{to_sjis("はい　"), 320 - 4 * px, 240 + py, 1},
                                         Answer{to_sjis("いいえ"), 320 + 2 * px, 240 + py, 0}};
  for (const Answer& a : answers) draw_menu_text_at(e, a.text, a.x, a.y, m.normal_colour, look);
  const auto draw = [&](int index, Colour colour) {
    if (index < 0) return;
    const Answer& a = answers[static_cast<size_t>(index)];
    draw_menu_text_at(e, a.text, a.x, a.y, colour, look);
  };

  int current = -1;
  int result = -1;
  WaitRules rules;
  rules.kind = "menu";
  rules.animate_layers = false;
  rules.yield_after_message = false;
  // The auto player says yes.
  rules.auto_items = 1;
  rules.auto_point = [&](int) {
    return std::pair{saturate(answers[0].x + px), saturate(answers[0].y + py / 2)};
  };
  rules.after_poll = [&](const Message* msg) {
    if (msg == nullptr) return false;
    switch (msg->kind) {
      case MessageKind::Key: {
        // An arrow key moves the pointer onto the other answer at once.
        const int next = arrow_step(msg->param, current, static_cast<int>(answers.size()));
        if (next < 0) return false;
        const Answer& a = answers[static_cast<size_t>(next)];
        shell.mouse_x = static_cast<int>(std::clamp<int64_t>(a.x + px, 0, kWindowWidth - 1));
        shell.mouse_y = static_cast<int>(std::clamp<int64_t>(a.y + py / 2, 0, kWindowHeight - 1));
        e.platform.move_pointer(shell.mouse_x, shell.mouse_y);
        [[fallthrough]];
      }
      case MessageKind::MouseMove: {
        int hit = -1;
        for (size_t i = 0; i < answers.size(); ++i) {
          const Answer& a = answers[i];
          if (a.y <= shell.mouse_y && shell.mouse_y < a.y + py && a.x <= shell.mouse_x &&
              shell.mouse_x < a.x + 3 * px) {
            hit = static_cast<int>(i);
          }
        }
        if (hit == current) return false;
        if (hit != -1) play_menu_sound(e, kSoundOver);
        draw(current, m.normal_colour);
        draw(hit, m.highlight_colour);
        current = hit;
        return false;
      }
      case MessageKind::Char:
        // Enter chooses the answer the pointer is on.
        if (msg->param != 0x0D || current == -1) return false;
        shell.clicked_flag = false;
        result = answers[static_cast<size_t>(current)].result;
        return true;
      case MessageKind::LButtonUp:
        shell.clicked_flag = false;
        if (current == -1) return false;
        result = answers[static_cast<size_t>(current)].result;
        return true;
      case MessageKind::RButtonUp:
        shell.rclicked_flag = false;
        if (m.sounds[kSoundCancel].empty()) return true;
        draw(current, m.normal_colour);
        play_menu_sound(e, kSoundCancel);
        return true;
      default: return false;
    }
  };
  run_wait(e, rules);
  if (result == -1) return -1;
  play_menu_sound(e, result == 1 ? kSoundYes : kSoundNo);
  draw(current, m.normal_colour);
  return result;
}

void system_call(Engine& e, int action) {
  const MenuSettings& m = e.text.menu;
  ScriptState& s = e.script;
  if (action < 0 && (m.right_click == kRightClickOff || m.right_click_enabled == 0)) return;
  if (s.menu_busy) return;
  s.menu_busy = true;
  run_system_action(e, action);
  s.menu_busy = false;
}

void history_from_wheel(Engine& e) {
  const MenuSettings& m = e.text.menu;
  if (m.right_click_enabled == 0 || e.script.menu_busy) return;
  const bool in_menu = m.right_click == kRightClickMenu &&
                       std::any_of(m.items.begin(), m.items.end(), [](const RightClickItem& item) {
                         return item.action == kActionHistory;
                       });
  if (m.right_click != kRightClickHistory && !in_menu) return;
  e.script.menu_busy = true;
  lookback(e);
  e.script.menu_busy = false;
}

}  // namespace vellumite
