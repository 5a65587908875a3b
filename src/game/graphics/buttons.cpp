#include "game/graphics/buttons.h"

#include <algorithm>
#include <limits>
#include <string>
#include <unordered_map>

#include "game/engine.h"
#include "game/graphics/effects.h"
#include "game/graphics/layers.h"
#include "game/graphics/picture.h"
#include "game/graphics/timed_wait.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "game/shell/player_keys.h"
#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"
#include "game/text/text_window.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

// Copies the w x h area at (x, y) of `screen` to the window.
void show_area(Engine& e, int64_t x, int64_t y, int64_t w, int64_t h) {
  if (w < 1 || h < 1) return;
  const Rect r = Rect::sized(x, y, w, h);
  show_screen(e, &r);
}

// Steps 2 and 3 common to both button waits: earlier clicks and keys are
// dropped, and a move to where the pointer is lights up the button under it
// at once.
void prepare_button_wait(Engine& e) {
  Platform& p = e.platform;
  e.shell.skip_to_choice = false;
  p.remove_messages(MessageKind::LButtonUp);
  p.remove_messages(MessageKind::Char);
  e.shell.clicked_flag = false;
  e.shell.rclicked_flag = false;
  int x = 0, y = 0;
  if (p.pointer_position(x, y)) p.post_message(Message{MessageKind::MouseMove, x, y, 0});
}

// Both button waits: the player's, every message to the window procedure
// first, the pictures animated in every round.
WaitRules button_wait_rules() {
  WaitRules rules;
  rules.kind = "button";
  return rules;
}

void trace_result(Engine& e, int32_t result) {
  if (e.automation.tracing()) e.automation.trace("button", std::to_string(result));
}

// The highest-numbered button under the pointer, or -1.
int32_t button_under_pointer(const Engine& e, const ButtonState& state) {
  const int32_t px = e.shell.mouse_x, py = e.shell.mouse_y;
  for (int32_t i = std::min(state.button_count, kButtonCount) - 1; i >= 0; --i) {
    const PictureButton& b = state.buttons[static_cast<size_t>(i)];
    if (b.x <= px && px <= b.right && b.y <= py && py <= b.bottom) return i;
  }
  return -1;
}

// The text window's line height: the height of a text button.
int32_t line_height(const Engine& e) { return e.text.window.pitch_y; }

int32_t link_under_pointer(const Engine& e) {
  const TextState& t = e.text;
  const int64_t px = e.shell.mouse_x, py = e.shell.mouse_y;
  const int32_t count = std::clamp(t.text_button_count, 0, kTextButtonCount);
  for (int32_t i = count - 1; i >= 0; --i) {
    const TextButton& b = t.text_buttons[static_cast<size_t>(i)];
    if (b.left <= px && px <= int64_t{b.right} - 1 && b.top <= py &&
        py <= int64_t{b.top} + line_height(e) - 1) {
      return i;
    }
  }
  return -1;
}

// Reads the "%n" that receives a wait's result; anything else, a string
// variable included, is a syntax error with `message`.
size_t read_result_variable(Engine& e, const char* message) {
  skip_blanks(e);
  if (current_byte(e) != '%') script_error(e, "構文エラー", error_message(message));
  ++e.script.script_pos;
  return checked_variable(e, read_number(e));
}

void store_result(Engine& e, size_t variable, int32_t value) {
  e.vars.num_vars[variable] = value;
  apply_int_limits(e.vars);
}

void cmd_btndef(Engine& e) {
  std::string tag;
  read_string(e, tag);
  button_state(e).button_count = 0;
  if (tag.empty()) {
    free_picture(e.graphics.button_source);
  } else {
    load_picture_from_tag(e, e.graphics.button_source, tag);
  }
}

void cmd_btn(Engine& e) {
  int32_t v[7];
  for (int i = 0; i < 7; ++i) {
    if (i > 0) expect_comma(e);
    v[i] = read_number(e);
  }
  if (!add_button(button_state(e), v[0], v[1], v[2], v[3], v[4], v[5], v[6])) {
    script_error(e, "エラー", error_message("btnで定義できるボタンは256個までです。"));
  }
}

constexpr const char* kBtnwaitMessage = "btnwaitの第一引数は数字変数です。";

void cmd_btnwait(Engine& e) {
  const size_t variable = read_result_variable(e, kBtnwaitMessage);
  const int32_t result = wait_for_button(e);
  store_result(e, variable, result);
  if (result > 0) {
    free_picture(e.graphics.button_source);
    button_state(e).button_count = 0;
  }
}

void cmd_btnwait2(Engine& e) {
  const size_t variable = read_result_variable(e, kBtnwaitMessage);
  store_result(e, variable, wait_for_button(e));
}

void cmd_tbtnwait(Engine& e) {
  const size_t variable = read_result_variable(e, "tbtnwaitの第一引数は数字変数です。");
  store_result(e, variable, wait_for_link(e));
  e.text.text_button_count = 0;
}

}  // namespace

ButtonState& button_state(Engine& e) { return e.graphics.buttons; }

TimerState& timer_state(Engine& e) { return e.graphics.timer; }

bool add_button(ButtonState& state, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h,
                int32_t src_x, int32_t src_y) {
  if (state.button_count < 0 || state.button_count >= kButtonCount) return false;
  PictureButton& b = state.buttons[static_cast<size_t>(state.button_count++)];
  b = PictureButton{id, x, y, w, h, src_x, src_y, 0, 0};
  b.right = saturate(int64_t{x} + w - 1);
  b.bottom = saturate(int64_t{y} + h - 1);
  return true;
}

// Where an arrow key puts the pointer (inside the picture): the wait then
// looks at once at what lies under it.
static bool point_at(Engine& e, int64_t x, int64_t y) {
  e.shell.mouse_x = static_cast<int>(std::clamp<int64_t>(x, 0, kWindowWidth - 1));
  e.shell.mouse_y = static_cast<int>(std::clamp<int64_t>(y, 0, kWindowHeight - 1));
  e.platform.move_pointer(e.shell.mouse_x, e.shell.mouse_y);
  return true;
}

int32_t wait_for_button(Engine& e) {
  GraphicsState& g = e.graphics;
  ShellState& shell = e.shell;
  hide_text_window(e);
  prepare_button_wait(e);
  int32_t current = -1;
  int32_t result = 0;
  WaitRules rules = button_wait_rules();
  rules.auto_items = std::clamp(button_state(e).button_count, 0, kButtonCount);
  rules.auto_point = [&](int i) {
    const PictureButton& b = button_state(e).buttons[static_cast<size_t>(i)];
    return std::pair{saturate(b.x + int64_t{b.w} / 2), saturate(b.y + int64_t{b.h} / 2)};
  };
  rules.after_poll = [&](const Message* m) {
    if (m == nullptr) return false;
    bool moved = false;
    if (m->kind == MessageKind::Key) {
      const ButtonState& state = button_state(e);
      const int next =
          arrow_step(m->param, current, std::clamp(state.button_count, 0, kButtonCount));
      if (next >= 0) {
        const PictureButton& b = state.buttons[static_cast<size_t>(next)];
        moved = point_at(e, int64_t{b.x} + b.w / 2, int64_t{b.y} + b.h / 2);
      }
    }
    if (shell.last_message == static_cast<int>(MessageKind::MouseMove) || moved) {
      const ButtonState& state = button_state(e);
      const int32_t hit = button_under_pointer(e, state);
      if (hit != current) {
        if (current >= 0) {
          const PictureButton& b = state.buttons[static_cast<size_t>(current)];
          blit(g.screen, b.x, b.y, b.w, b.h, g.scene, b.x, b.y);
          show_area(e, b.x, b.y, b.w, b.h);
        }
        if (hit >= 0) {
          const PictureButton& b = state.buttons[static_cast<size_t>(hit)];
          blit(g.screen, b.x, b.y, b.w, b.h, g.button_source, b.src_x, b.src_y);
          show_area(e, b.x, b.y, b.w, b.h);
        }
        current = hit;
      }
    }
    if (shell.clicked_flag) {
      shell.clicked_flag = false;
      result = current >= 0 ? button_state(e).buttons[static_cast<size_t>(current)].id : 0;
      return true;
    }
    if (shell.rclicked_flag) {
      shell.rclicked_flag = false;
      blit(g.screen, 0, 0, kWindowWidth, kWindowHeight, g.scene, 0, 0);
      run_effect(e, 1, 0, "", nullptr);
      result = -1;
      return true;
    }
    return false;
  };
  run_wait(e, rules);
  trace_result(e, result);
  return result;
}

int32_t wait_for_link(Engine& e) {
  GraphicsState& g = e.graphics;
  ShellState& shell = e.shell;
  const TextState& t = e.text;
  // The screen as it is now, to put back what an underline covered.
  create_blank(g.button_source, kWindowWidth, kWindowHeight, 24);
  blit(g.button_source, 0, 0, kWindowWidth, kWindowHeight, g.screen, 0, 0);
  prepare_button_wait(e);
  const Colour link_colour = t.link_colour;
  int32_t current = -1;
  int32_t result = 0;
  WaitRules rules = button_wait_rules();
  rules.auto_items = std::clamp(t.text_button_count, 0, kTextButtonCount);
  rules.auto_point = [&](int i) {
    const TextButton& b = t.text_buttons[static_cast<size_t>(i)];
    return std::pair{b.left, saturate(b.top + line_height(e) / 2)};
  };
  rules.after_poll = [&](const Message* m) {
    if (m == nullptr) return false;
    bool moved = false;
    if (m->kind == MessageKind::Key) {
      const int next =
          arrow_step(m->param, current, std::clamp(t.text_button_count, 0, kTextButtonCount));
      if (next >= 0) {
        const TextButton& b = t.text_buttons[static_cast<size_t>(next)];
        moved = point_at(e, (int64_t{b.left} + b.right) / 2, int64_t{b.top} + line_height(e) / 2);
      }
    }
    if (shell.last_message == static_cast<int>(MessageKind::MouseMove) || moved) {
      const int32_t hit = link_under_pointer(e);
      if (hit != current) {
        const int64_t height = line_height(e);
        if (current >= 0) {
          const TextButton& b = t.text_buttons[static_cast<size_t>(current)];
          const int64_t width = int64_t{b.right} - b.left;
          blit(g.screen, b.left, b.top, saturate(width), saturate(height), g.button_source, b.left,
               b.top);
          show_area(e, b.left, b.top, width, height);
        }
        if (hit >= 0) {
          const TextButton& b = t.text_buttons[static_cast<size_t>(hit)];
          const int32_t row = saturate(b.top + height - 2);
          fill_picture(g.screen, b.left, row, saturate(int64_t{b.right} - 1),
                       saturate(int64_t{row} + 1), link_colour);
          show_area(e, b.left, b.top, int64_t{b.right} - b.left, height);
        }
        current = hit;
      }
    }
    const bool left = shell.clicked_flag;
    if (left || shell.rclicked_flag) {
      (left ? shell.clicked_flag : shell.rclicked_flag) = false;
      if (!left) result = -1;
      if (left && current >= 0) result = t.text_buttons[static_cast<size_t>(current)].number;
      refresh_scene(e, nullptr);
      run_effect(e, 1, 0, "", nullptr);
      free_picture(g.button_source);
      return true;
    }
    return false;
  };
  run_wait(e, rules);
  trace_result(e, result);
  return result;
}

void bind_button_commands(CommandBinder& binder) {
  binder.bind("btndef", cmd_btndef);
  binder.bind("btn", cmd_btn);
  binder.bind("btnwait", cmd_btnwait);
  binder.bind("btnwait2", cmd_btnwait2);
  binder.bind("tbtnwait", cmd_tbtnwait);
  bind_timed_wait_commands(binder);
}

}  // namespace vellumite
