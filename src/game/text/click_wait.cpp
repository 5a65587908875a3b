// The click wait: waits for a left click (or Space or Enter) with the
// animated wait cursor; auto mode and autoclick end it by time.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "game/audio/sound.h"
#include "game/engine.h"
#include "game/graphics/effects.h"
#include "game/graphics/layers.h"
#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"
#include "game/text/system_call.h"
#include "game/text/text_window.h"
#include "graphics/compositor.h"

namespace vellumite {

namespace {

// The screen area the cursor covers, saved before the wait and put back
// after it.
struct CursorArea {
  Picture* cursor = nullptr;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Copies the part of the area that lies on the screen to the window.
void show_area(Engine& e, const CursorArea& area) {
  const Rect r = intersect(Rect::sized(area.x, area.y, area.width, area.height), kWindowRect);
  if (!r.empty()) show_screen(e, &r);
}

// The first clock time at which the cursor's current cell has been shown
// longer than its interval.
uint32_t next_cursor_frame(const Picture& c) {
  const int32_t interval = cell_interval(c, c.cell);
  return c.anim_time + static_cast<uint32_t>(std::max(interval, -1)) + 1;
}

void put_back(Engine& e, const CursorArea& area) {
  blit(e.graphics.screen, area.x, area.y, area.width, area.height, e.text.cursor_backing, 0, 0);
}

// Advances the cursor's cell when its interval has passed and draws it.
// Returns the clock time at which the next cell is due.
std::optional<uint32_t> animate_cursor(Engine& e, const CursorArea& area) {
  Picture& c = *area.cursor;
  if (c.cells < 2) return std::nullopt;
  const uint32_t now = e.platform.ticks();
  const int32_t interval = cell_interval(c, c.cell);
  if (static_cast<int64_t>(now - c.anim_time) > interval) {
    c.cell += c.anim_step;
    if (c.cell >= c.cells || c.cell < 0) {
      switch (c.loop_mode) {
        case kLoopStop:
          c.cell = c.cells - 1;
          c.anim_time = now;
          return next_cursor_frame(c);
        case kLoopReverse:
          c.anim_step = -c.anim_step;
          c.cell += 2 * c.anim_step;
          break;
        default: c.cell = 0; break;
      }
      if (c.cell >= c.cells || c.cell < 0) c.cell = 0;
    }
    put_back(e, area);
    draw_picture(c, e.graphics.screen, nullptr, area.x, area.y);
    show_area(e, area);
    c.anim_time = now;
  }
  return next_cursor_frame(c);
}

// Runs something that may rebuild the screen (a menu, the history) with the
// cursor taken off the screen; afterwards the area beneath is saved again
// and the cursor drawn over it.
template <typename F>
void without_cursor(Engine& e, const CursorArea& area, F&& run) {
  if (area.cursor != nullptr) put_back(e, area);
  run();
  if (area.cursor == nullptr) return;
  blit(e.text.cursor_backing, 0, 0, area.width, area.height, e.graphics.screen, area.x, area.y);
  draw_picture(*area.cursor, e.graphics.screen, nullptr, area.x, area.y);
  show_area(e, area);
}

}  // namespace

void click_wait(Engine& e) {
  Platform& p = e.platform;
  ShellState& shell = e.shell;
  TextState& t = e.text;

  // A click that was made before the wait does not end it.
  pump_message(e);
  p.remove_messages(MessageKind::LButtonUp);
  p.remove_messages(MessageKind::Char);
  shell.clicked_flag = false;
  shell.rclicked_flag = false;

  const int32_t kind = t.cursor_kind;
  CursorArea area;
  if (kind == kCursorLine || kind == kCursorPage) {
    area.cursor = &e.graphics.click_cursors[kind == kCursorLine ? 0 : 1];
    area.x = t.cursor_x;
    area.y = t.cursor_y;
    area.width = cell_width(*area.cursor) + 1;
    area.height = picture_height(*area.cursor) + 1;
    Surface& backing = t.cursor_backing.surface;
    if (backing.width != area.width || backing.height != area.height || backing.bit_count() != 24) {
      create_blank(t.cursor_backing, area.width, area.height, 24);
    }
    blit(t.cursor_backing, 0, 0, area.width, area.height, e.graphics.screen, area.x, area.y);
  }

  const uint32_t t0 = p.ticks();
  bool left_for_menu = false;
  WaitRules rules;
  rules.kind = kind == kCursorPage ? "page " : "click ";
  rules.kind += std::to_string(t.cursor_x);
  rules.kind += ' ';
  rules.kind += std::to_string(t.cursor_y);
  // Auto mode, autoclick and skip mode end the wait without the player.
  rules.ends_by_time = [&] {
    return shell.auto_mode || shell.autoclick_active || shell.skip_to_choice;
  };
  rules.until = [&]() -> std::optional<uint32_t> {
    std::optional<int32_t> after;
    if (shell.auto_mode) after = t.automode_ms;
    if (shell.autoclick_active) after = std::min(after.value_or(INT32_MAX), t.autoclick_ms);
    if (!after) return std::nullopt;
    const uint32_t end = t0 + static_cast<uint32_t>(std::max(*after, 0));
    // Auto mode lets a voice finish: it looks again a millisecond later.
    if (shell.auto_mode && !shell.autoclick_active && reached(p.ticks(), end) &&
        voice_still_playing(e)) {
      return p.ticks() + 1;
    }
    return end;
  };
  rules.after_poll = [&](const Message* m) {
    if (shell.autoclick_active) return false;
    if (m != nullptr && m->kind == MessageKind::Wheel && m->param == kWheelUp) {
      without_cursor(e, area, [&] { history_from_wheel(e); });
    }
    if (shell.clicked_flag) {
      shell.clicked_flag = false;
      return true;
    }
    if (shell.skip_to_choice) return true;
    if (shell.rclicked_flag) {
      shell.rclicked_flag = false;
      without_cursor(e, area, [&] { system_call(e, -1); });
      // A reset or load chosen there ends the wait as it stands.
      left_for_menu = e.script.reset_requested || e.script.load_done;
      return left_for_menu;
    }
    return false;
  };
  if (area.cursor != nullptr) rules.animate = [&] { return animate_cursor(e, area); };
  run_wait(e, rules);
  if (left_for_menu) return;

  play_click_voice(e, kind);
  if (area.cursor != nullptr) {
    put_back(e, area);
    show_area(e, area);
  }
  t.cursor_kind = kCursorNone;
}

}  // namespace vellumite
