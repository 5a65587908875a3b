// The choice loop in its two styles and the drawing of one item.
#include "game/text/selection.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "game/audio/sound.h"
#include "game/engine.h"
#include "game/graphics/effects.h"
#include "game/graphics/layers.h"
#include "game/graphics/picture.h"
#include "game/shell/player_keys.h"
#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"
#include "game/text/system_call.h"
#include "game/text/text_window.h"
#include "text/kinsoku.h"

namespace vellumite {
namespace {

// The sounds of choices and menus play once on the WAVE channel.
void play_selection_sound(Engine& e, std::string_view file_name) {
  if (!file_name.empty()) play_wave(e, file_name, false);
}

// What one item line is drawn with.
struct LineLook {
  CharacterFont font;
  int32_t pitch_x = 26;
  int32_t shadow = 1;
  bool wraps = true;  // the choice style breaks long lines
  Rect area;          // the drawing rectangle
};

LineLook line_look(Engine& e, const MenuLook* menu) {
  const TextWindow& w = e.text.window;
  LineLook look;
  look.font.face = e.text.drawing_font_face;
  if (menu == nullptr) {
    look.font.width = w.font_width;
    look.font.height = w.font_height;
    look.font.bold = w.bold == 1;
    look.pitch_x = w.pitch_x;
    look.shadow = w.shadow;
    look.area = clip_to_screen(w.window_left, w.window_top, w.window_right, w.window_bottom);
  } else {
    look.font.width = menu->font_width;
    look.font.height = menu->font_height;
    look.font.bold = menu->bold == 1;
    look.pitch_x = menu->pitch_x;
    look.shadow = menu->shadow;
    look.wraps = false;
    look.area = kWindowRect;
  }
  return look;
}

// Draws one character cell over a clean background: the choice style first
// recomposes the scene under it; the cell (one pixel wider and higher) is
// copied from the scene to the screen, the character is blended into it,
// into text_alpha and text_layer, and the cell is shown.
void draw_item_character(Engine& e, const LineLook& look, int64_t x, int64_t y, uint16_t code,
                         Colour colour) {
  const int64_t fw = look.font.width, fh = look.font.height;
  if (x >= look.area.right || y >= look.area.bottom || x + fw - 1 < look.area.left ||
      y + fh - 1 < look.area.top) {
    return;
  }
  const Rect cell = clip_to_screen(x, y, x + fw, y + fh);
  if (cell.empty()) return;
  if (look.wraps) refresh_scene(e, &cell);
  blit(e.graphics.screen, cell.left, cell.top, cell.width(), cell.height(), e.graphics.scene,
       cell.left, cell.top);
  // draw_character takes the shadow rule from the text window; the menu
  // style draws with its own.
  TextWindow& w = e.text.window;
  const int32_t window_shadow = w.shadow;
  w.shadow = look.shadow;
  draw_character(e, look.font, saturate(x), saturate(y), code, colour);
  w.shadow = window_shadow;
  show_screen(e, &cell);
}

// Where a line is drawn: its pixel position and, for grid positions, the
// cell it is at.
struct LinePosition {
  int64_t x = 0;
  int64_t y = 0;
  bool grid = true;  // column and row count cells; false: pixels only
  int32_t column = 0;
  int32_t row = 0;
};

// The line drawing behind draw_menu_line. Returns the number of characters,
// at most the window's columns.
int draw_line(Engine& e, std::string_view text, LinePosition& at, Colour colour,
              const MenuLook* menu) {
  const TextWindow& w = e.text.window;
  const LineLook look = line_look(e, menu);
  if (look.area.empty()) return 0;
  int count = 0;
  size_t i = 0;
  while (i < text.size() && text[i] != 0) {
    if (text[i] == ' ' || text[i] == '\t') {
      ++i;
      continue;
    }
    // Every other byte is drawn paired with the byte after it.
    if (i + 1 >= text.size() || text[i + 1] == 0) break;
    const auto code = static_cast<uint16_t>(static_cast<unsigned char>(text[i]) << 8 |
                                            static_cast<unsigned char>(text[i + 1]));
    draw_item_character(e, look, at.x, at.y, code, colour);
    i += 2;
    if (count < w.columns) ++count;
    at.x += look.pitch_x;
    if (!at.grid) continue;
    if (at.column < INT32_MAX) ++at.column;
    const int k = kinsoku_extent(look_ahead(text, i));
    if (look.wraps && int64_t{at.column} + k >= w.columns) {
      at.column = 0;
      if (at.row < INT32_MAX) ++at.row;
      at.x = w.origin_x;
      at.y += menu == nullptr ? w.pitch_y : menu->pitch_y;
    }
  }
  if (at.column != 0) {
    at.column = 0;
    if (at.row < INT32_MAX) ++at.row;
  }
  return count;
}

// The position of the cell (column, row); negative values are pixels.
LinePosition position_of(const Engine& e, int32_t column, int32_t row, const MenuLook* menu) {
  const TextWindow& w = e.text.window;
  const int32_t pitch_x = menu == nullptr ? w.pitch_x : menu->pitch_x;
  const int32_t pitch_y = menu == nullptr ? w.pitch_y : menu->pitch_y;
  LinePosition at;
  at.x = column >= 0 ? int64_t{w.origin_x} + int64_t{pitch_x} * column : -int64_t{column};
  at.y = row >= 0 ? int64_t{w.origin_y} + int64_t{pitch_y} * row : -int64_t{row};
  at.grid = column >= 0;
  at.column = column;
  at.row = row;
  return at;
}

// Where the items of one choose_item call lie and how they are redrawn.
struct ItemLayout {
  bool menu_style = false;
  const MenuLook* menu = nullptr;
  int32_t column = 0;  // choice style: the column every item starts at
  // Choice style: the start row of every item and the row after the last.
  // Menu style: the pixel row of every item.
  std::vector<int32_t> rows;
  int64_t menu_x = 0;  // menu style: the pixel column of every item
  int64_t menu_half_width = 0;
  int32_t width = 0;  // choice style: the widest item in characters

  void draw(Engine& e, std::span<const std::string> texts, int index, Colour colour) const {
    const auto i = static_cast<size_t>(index);
    LinePosition at;
    if (menu_style) {
      // Pixel positions, also where the centred layout reaches the edge.
      at.x = menu_x;
      at.y = rows[i];
      at.grid = false;
      draw_line(e, texts[i], at, colour, menu);
    } else {
      at = position_of(e, column, rows[i], nullptr);
      draw_line(e, texts[i], at, colour, nullptr);
    }
  }

  // A point of item `index` (on its first row), where the arrow keys put
  // the pointer.
  void point(const Engine& e, int index, int& x, int& y) const {
    const auto i = static_cast<size_t>(index);
    int64_t px = 0, py = 0;
    if (menu_style) {
      px = menu_x + menu->pitch_x / 2;
      py = int64_t{rows[i]} + menu->pitch_y / 2;
    } else {
      const TextWindow& w = e.text.window;
      px = int64_t{w.origin_x} + int64_t{column} * w.pitch_x + w.pitch_x / 2;
      py = int64_t{w.origin_y} + int64_t{rows[i]} * w.pitch_y + w.pitch_y / 2;
    }
    x = static_cast<int>(std::clamp<int64_t>(px, 0, kWindowWidth - 1));
    y = static_cast<int>(std::clamp<int64_t>(py, 0, kWindowHeight - 1));
  }

  // The item under the pointer, or -1.
  int hit(const Engine& e, int32_t mx, int32_t my) const {
    if (menu_style) {
      if (!(menu_x <= mx && mx < 320 + menu_half_width)) return -1;
      for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] <= my && my < int64_t{rows[i]} + menu->pitch_y) return static_cast<int>(i);
      }
      return -1;
    }
    const TextWindow& w = e.text.window;
    const int64_t left = int64_t{w.origin_x} + int64_t{column} * w.pitch_x;
    const int64_t right = int64_t{w.origin_x} + (int64_t{column} + width) * w.pitch_x;
    if (!(left < mx && mx <= right)) return -1;
    for (size_t i = 0; i + 1 < rows.size(); ++i) {
      const int64_t top = int64_t{w.origin_y} + int64_t{rows[i]} * w.pitch_y;
      const int64_t bottom = int64_t{w.origin_y} + int64_t{rows[i + 1]} * w.pitch_y;
      if (top <= my && my < bottom) return static_cast<int>(i);
    }
    return -1;
  }
};

// Shows the text window for a choice: at once when it was already shown,
// else with the window effect.
void show_window_for_choice(Engine& e) {
  TextWindow& w = e.text.window;
  const bool was_shown = w.window_shown;
  w.window_in_scene = true;
  refresh_scene(e, nullptr);
  if (was_shown) {
    run_effect(e, 1, 0, "", nullptr);
  } else {
    const EffectState& fx = e.graphics.effects;
    run_effect(e, fx.window_effect_type, fx.window_effect_duration, fx.window_effect_mask, nullptr);
  }
}

}  // namespace

SelectionState& selection_state(Engine& e) { return e.text.selection; }

void reset_selection_cycle_defaults(Engine& e) {
  SelectionState& sel = selection_state(e);
  sel.highlight_colour = Colour::from_rgb(0xFFFFFF);
  sel.normal_colour = Colour::from_rgb(0xAAAAAA);
  sel.sounds = {};
}

int draw_menu_line(Engine& e, std::string_view text, int32_t& column, int32_t& row, Colour colour,
                   const MenuLook* menu) {
  // A menu screen whose text was cleared is drawn over a fresh backdrop.
  if (menu != nullptr && menu->draw_backdrop && !e.text.menu.backdrop_drawn) {
    menu->draw_backdrop(e);
  }
  LinePosition at = position_of(e, column, row, menu);
  const int count = draw_line(e, text, at, colour, menu);
  column = at.column;
  row = at.row;
  return count;
}

void draw_menu_text_at(Engine& e, std::string_view text, int64_t x, int64_t y, Colour colour,
                       const MenuLook& look) {
  if (x > kWindowWidth || y > kWindowHeight) return;
  // Menu lines take pixel positions as negative values.
  int32_t column = -saturate(std::max<int64_t>(x, 1));
  int32_t row = -saturate(std::max<int64_t>(y, 1));
  draw_menu_line(e, text, column, row, colour, &look);
}

int choose_item(Engine& e, std::span<const std::string> texts, int32_t column, int32_t row,
                const MenuLook& menu) {
  Platform& p = e.platform;
  ShellState& shell = e.shell;
  SelectionState& sel = selection_state(e);
  const bool menu_style = e.script.menu_busy;
  const Colour highlight = menu_style ? menu.highlight_colour : sel.highlight_colour;
  const Colour normal = menu_style ? menu.normal_colour : sel.normal_colour;
  const std::string_view over_sound = menu_style ? menu.sounds[2] : sel.sounds[1];
  const std::string_view click_sound = menu_style ? menu.sounds[3] : sel.sounds[2];
  const auto n = static_cast<int>(texts.size());

  play_selection_sound(e, menu_style ? menu.sounds[0] : sel.sounds[0]);
  shell.skip_to_choice = false;  // a choice always waits for the player

  ItemLayout layout;
  layout.menu_style = menu_style;
  layout.menu = &menu;
  if (menu_style) {
    if (menu.draw_backdrop) menu.draw_backdrop(e);
    size_t longest = 0;
    for (const std::string& t : texts) longest = std::max(longest, t.size());
    layout.menu_half_width = int64_t{menu.pitch_x} * static_cast<int64_t>(longest) / 4;
    layout.menu_x = 320 - layout.menu_half_width;
    for (int i = 0; i < n; ++i) {
      layout.rows.push_back(saturate(240 - (int64_t{n / 2} - i) * menu.pitch_y));
      layout.draw(e, texts, i, normal);
    }
  } else {
    show_window_for_choice(e);
    layout.column = column;
    int32_t r = row;
    for (int i = 0; i < n; ++i) {
      layout.rows.push_back(r);
      int32_t c = column;
      layout.width = std::max(
          layout.width, draw_menu_line(e, texts[static_cast<size_t>(i)], c, r, normal, nullptr));
    }
    layout.rows.push_back(r);
  }

  // Input made before the choice does not count; the pointer's position is
  // posted again so that the item under it lights up at once.
  p.remove_messages(MessageKind::LButtonUp);
  p.remove_messages(MessageKind::Char);
  shell.clicked_flag = false;
  shell.rclicked_flag = false;
  int px = 0, py = 0;
  if (!p.pointer_position(px, py)) {
    px = shell.mouse_x;
    py = shell.mouse_y;
  }
  p.post_message(Message{MessageKind::MouseMove, px, py, 0});

  const auto finish = [&](int index) {
    if (!menu_style && e.automation.tracing()) e.automation.trace("choice", std::to_string(index));
    return index;
  };

  int current = -1;
  // 0: chosen; -1: cancelled by a right click in a menu; -2: left for the
  // right-click menu.
  int outcome = 0;
  WaitRules rules;
  rules.kind = menu_style ? "menu" : "choice";
  // The player is asked for input once the queue (with the pointer position
  // posted above) has been handled, and again whenever everything the last
  // wait delivered has been handled without an answer.
  rules.begin_when_idle = true;
  rules.animate_layers = !menu_style;
  rules.animate_when_beginning = false;
  rules.yield_after_message = false;
  if (!menu_style) {
    // The auto player clicks just inside the start of an item's first row.
    rules.auto_items = n;
    rules.auto_point = [&](int i) {
      const TextWindow& w = e.text.window;
      const int64_t x = int64_t{w.origin_x} + int64_t{layout.column} * w.pitch_x + 1;
      const int64_t y =
          int64_t{w.origin_y} + int64_t{layout.rows[static_cast<size_t>(i)]} * w.pitch_y;
      return std::pair{saturate(x), saturate(y)};
    };
  }
  rules.after_poll = [&](const Message* m) {
    if (m == nullptr) return false;
    // An arrow key moves the pointer onto the next item at once (the move
    // it posts then finds it there).
    bool moved = false;
    if (m->kind == MessageKind::Key) {
      if (const int next = arrow_step(m->param, current, n); next >= 0) {
        layout.point(e, next, shell.mouse_x, shell.mouse_y);
        p.move_pointer(shell.mouse_x, shell.mouse_y);
        moved = true;
      }
    }
    if (m->kind == MessageKind::MouseMove || moved) {
      const int hit = layout.hit(e, shell.mouse_x, shell.mouse_y);
      if (hit == -1) {
        if (current != -1) layout.draw(e, texts, current, normal);
        current = -1;
      } else if (hit != current) {
        play_selection_sound(e, over_sound);
        if (current != -1) layout.draw(e, texts, current, normal);
        layout.draw(e, texts, hit, highlight);
        current = hit;
      }
    }
    if (shell.clicked_flag) {
      shell.clicked_flag = false;
      if (current != -1) return true;
    }
    if (shell.rclicked_flag) {
      shell.rclicked_flag = false;
      if (menu_style) {
        play_selection_sound(e, menu.sounds[1]);
        if (current != -1) layout.draw(e, texts, current, normal);
        outcome = -1;
        return true;
      }
      if (current != -1) layout.draw(e, texts, current, normal);
      system_call(e, -1);
      if (e.script.reset_requested || e.script.load_done) {
        outcome = -2;
        return true;
      }
    }
    return false;
  };
  run_wait(e, rules);
  if (outcome == -1) return -1;
  if (outcome == -2) return finish(-1);
  play_selection_sound(e, click_sound);
  layout.draw(e, texts, current, normal);
  return finish(current);
}

}  // namespace vellumite
