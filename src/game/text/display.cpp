// The message display: a text line shown one character cell at a time with
// its marks, the per-character delay, line breaking with kinsoku, automatic
// click waits, new lines and new pages.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "base/sjis.h"
#include "game/engine.h"
#include "game/graphics/effects.h"
#include "game/graphics/layers.h"
#include "game/graphics/timed_wait.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"
#include "game/text/text_window.h"
#include "text/kinsoku.h"
#include "text/text_size.h"

namespace vellumite {
namespace {

bool usable_screen_picture(const Picture& p) {
  return p.surface.width == kWindowWidth && p.surface.height == kWindowHeight &&
         p.surface.bit_count() == 24 && !p.surface.empty();
}

// The window rectangle clipped to the screen.
Rect clipped_window(const TextWindow& w) {
  return clip_to_screen(w.window_left, w.window_top, w.window_right, w.window_bottom);
}

// What one display_text call keeps while it walks its line.
struct LineWalk {
  std::string_view line;
  size_t i = 0;
  int64_t x = 0;  // pixel position of the next cell
  int64_t y = 0;
  bool fast_forward = false;
  bool no_clickstr = false;
  bool page_just_ended = false;
  Colour colour = {255, 255, 255};
  // Chosen when the line starts and kept to its end, even across a page end
  // inside the line.
  CharacterFont font;

  unsigned char at(size_t k) const {
    return k < line.size() ? static_cast<unsigned char>(line[k]) : 0;
  }
  // Consumes decimal digits at i; none give 0. Saturates instead of
  // overflowing.
  int32_t digits() {
    int64_t value = 0;
    while (at(i) >= '0' && at(i) <= '9') {
      value = std::min<int64_t>(value * 10 + (at(i) - '0'), INT32_MAX);
      ++i;
    }
    return static_cast<int32_t>(value);
  }
};

void place_at_cell(const TextWindow& w, LineWalk& s) {
  s.x = saturate(int64_t{w.origin_x} + int64_t{w.pitch_x} * w.column);
  s.y = saturate(int64_t{w.origin_y} + int64_t{w.pitch_y} * w.row);
}

// `#rrggbb`: the colour of what follows. A mark cut short by the end of the
// line reads no further than the line.
void colour_mark(Engine& e, LineWalk& s) {
  int32_t value = 0;
  size_t k = s.i + 1;
  for (int n = 0; n < 6 && s.at(k) != 0; ++n, ++k)
    value = value * 16 + std::max(hex_digit_value(static_cast<char>(s.at(k))), 0);
  s.i = k;
  TextWindow& w = e.text.window;
  w.text_colour = s.colour = Colour::from_rgb(static_cast<uint32_t>(value));
}

// The click wait of `@` (kind line) and of a page end (kind page) with the
// cursor placed at the next character. False when a reset or a load chosen
// during the wait ends the line.
bool wait_here(Engine& e, LineWalk& s, CursorKind kind) {
  TextState& t = e.text;
  s.fast_forward = false;
  const CursorPlacement& c = t.cursors[kind == kCursorLine ? 0 : 1];
  t.cursor_kind = kind;
  t.cursor_x = saturate(c.offset_x + (c.relative ? s.x : 0));
  t.cursor_y = saturate(c.offset_y + (c.relative ? s.y : 0));
  click_wait(e);
  if (e.script.reset_requested || e.script.load_done) {
    e.script.load_done = false;
    return false;
  }
  return true;
}

bool line_wait(Engine& e, LineWalk& s) {
  if (e.shell.page_mode == 1 || e.text.window.text_mode == 0) return true;
  return wait_here(e, s, kCursorLine);
}

bool page_wait(Engine& e, LineWalk& s) {
  TextWindow& w = e.text.window;
  if (w.text_mode == 0) return true;
  if (!wait_here(e, s, kCursorPage)) return false;
  history_page_end(e.text.history);
  s.x = w.origin_x;
  s.y = w.origin_y;
  new_page(e);
  s.page_just_ended = true;
  return true;
}

// Pumps messages until the character's delay has passed; a left click makes
// the rest of the text up to the next wait appear at once.
void character_delay(Engine& e, LineWalk& s, uint32_t t0) {
  const TextWindow& w = e.text.window;
  int64_t delay = w.speed;
  if (w.speed == -1) {
    int index = std::clamp(e.shell.text_speed_index, 0, 2);
    delay = e.text.default_speeds[static_cast<size_t>(index)];
  }
  // The end is compared with wrap, so a delay running across the wrap of
  // the 32-bit clock still lasts its time.
  const uint32_t end = t0 + static_cast<uint32_t>(std::clamp<int64_t>(delay, 0, INT32_MAX));
  WaitRules rules;
  rules.until = [end] { return std::optional<uint32_t>(end); };
  rules.ended = [&] { return s.fast_forward || e.shell.skip_to_choice; };
  rules.after_poll = [&](const Message* m) {
    if (m == nullptr || m->kind != MessageKind::LButtonUp) return false;
    s.fast_forward = true;
    return true;
  };
  run_wait(e, rules);
}

// Draws the two bytes at s.i and everything that follows from it: delay,
// line break and the automatic click wait. False when the line must stop.
bool show_character(Engine& e, LineWalk& s) {
  TextState& t = e.text;
  TextWindow& w = t.window;
  if (w.text_mode == 0) {
    script_error(e, "エラー！",
                 error_message("textmodeが非表示設定なのに文字を書こうとしました。"));
  }
  const int64_t fw = s.font.width, fh = s.font.height;
  if (s.x < 0 || s.y < 0 || s.x + fw >= kWindowWidth || s.y + fh >= kWindowHeight ||
      s.x < w.window_left || s.y < w.window_top || s.x + fw >= w.window_right ||
      s.y + fh >= w.window_bottom) {
    script_error(e, "エラー！", error_message("文字がウィンドウからはみ出ました"));
  }
  const unsigned char b1 = s.at(s.i), b2 = s.at(s.i + 1);
  const uint16_t code = static_cast<uint16_t>(b1 << 8 | b2);
  history_char(t.history, static_cast<char>(b1), static_cast<char>(b2));
  const uint32_t t0 = e.platform.ticks();
  // The player's text size grows the glyph within its cell.
  const CharacterFont glyph = enlarged_font(s.font, e.shell.player.text_size_percent, w.pitch_x,
                                            w.pitch_y, s.x, s.y, w.window_right, w.window_bottom);
  draw_character(e, glyph, saturate(s.x), saturate(s.y), code, s.colour);
  character_delay(e, s, t0);

  const LookAhead a = look_ahead(s.line, s.i + 2);
  if (w.column < INT32_MAX) ++w.column;
  s.x = saturate(s.x + w.pitch_x);

  // Kinsoku: the next character moves to the next line together with the
  // characters bound to it when they would not fit.
  const int k = kinsoku_extent(a);
  if (static_cast<int64_t>(w.column) + k >= w.columns) {
    new_line(e);
    place_at_cell(w, s);
  }

  s.i += 2;
  const bool clickstr_wait = !(a.count > 0 && contains_character(t.clickstr_chars, a.chars[0])) &&
                             !a.wait_follows && !s.no_clickstr &&
                             contains_character(t.clickstr_chars, code);
  s.no_clickstr = false;
  s.page_just_ended = false;
  if (!clickstr_wait) return true;
  if (static_cast<int64_t>(w.row) < static_cast<int64_t>(w.rows) - t.clickstr_lines) {
    return line_wait(e, s);
  }
  return page_wait(e, s);
}

// Clears the page and, when the window is shown, redraws it empty at once
// over its rectangle widened by 2 pixels to the right (and to the bottom).
void empty_page(Engine& e, bool widen_bottom) {
  TextState& t = e.text;
  TextWindow& w = t.window;
  w.column = 0;
  w.row = 0;
  fill_picture(e.graphics.text_layer, 0, 0, kWindowWidth, kWindowHeight, Colour{});
  std::fill(t.text_alpha.begin(), t.text_alpha.end(), uint8_t{0});
  t.drawing_font_face = e.shell.font_face;
  if (!w.window_shown) return;
  w.window_in_scene = false;
  const Rect wide = clip_to_screen(w.window_left, w.window_top, int64_t{w.window_right} + 2,
                                   int64_t{w.window_bottom} + (widen_bottom ? 2 : 0));
  refresh_scene(e, &wide);
  draw_window_background(e, w.window_left, w.window_top, w.window_right, w.window_bottom,
                         e.graphics.scene);
  run_effect(e, 1, 0, "", &wide);
  w.window_shown = true;
  w.window_in_scene = true;
}

}  // namespace

void draw_character(Engine& e, const CharacterFont& font, int32_t x, int32_t y, uint16_t code,
                    Colour colour) {
  TextState& t = e.text;
  const TextWindow& w = t.window;
  if (!t.glyphs) t.glyphs = std::make_unique<GlyphRenderer>();
  const int32_t fw = font.width, fh = font.height;
  if (fw < 1 || fh < 1) return;
  // The cell and its shadow column must lie inside the screen.
  if (x < 0 || y < 0 || int64_t{x} + fw >= kWindowWidth || int64_t{y} + fh >= kWindowHeight) return;
  std::span<const uint8_t> coverage = t.glyphs->render(font.face, fw, fh, font.bold, code);
  if (coverage.size() < static_cast<size_t>(fw) * static_cast<size_t>(fh)) return;
  Picture& screen = e.graphics.screen;
  Picture& layer = e.graphics.text_layer;
  if (!usable_screen_picture(screen) || !usable_screen_picture(layer)) return;

  const BlendTable& table = blend_table();
  // Blue, green, red: the order of the pixels.
  const std::array<const uint8_t*, 3> tint = {table[colour.blue].data(), table[colour.green].data(),
                                              table[colour.red].data()};
  const bool shadow = w.shadow == 1;
  for (int32_t r = 0; r < fh; ++r) {
    const uint8_t* cov = coverage.data() + static_cast<size_t>(r) * static_cast<size_t>(fw);
    uint8_t* alpha = t.text_alpha.data() + static_cast<size_t>(y + r) * kWindowWidth + x;
    uint8_t* lp = layer.surface.row(y + r) + static_cast<size_t>(x) * 3;
    uint8_t* sp = screen.surface.row(y + r) + static_cast<size_t>(x) * 3;
    for (int32_t c = 0; c < fw; ++c, lp += 3, sp += 3) {
      const uint8_t a = cov[c];
      alpha[c] = a;
      const uint8_t p0 = tint[0][a], p1 = tint[1][a], p2 = tint[2][a];
      lp[0] = p0;
      lp[1] = p1;
      lp[2] = p2;
      if (a == 0) continue;  // nothing of the character here: the screen keeps its pixel
      const uint8_t* keep = table[255 - a].data();
      sp[0] = static_cast<uint8_t>(std::min(255, keep[sp[0]] + p0));
      sp[1] = static_cast<uint8_t>(std::min(255, keep[sp[1]] + p1));
      sp[2] = static_cast<uint8_t>(std::min(255, keep[sp[2]] + p2));
      if (shadow) {
        // The pixel to the right, before that column's own blend.
        sp[3] = keep[sp[3]];
        sp[4] = keep[sp[4]];
        sp[5] = keep[sp[5]];
      }
    }
  }
  // The cell and, with shadow, the column of shadow right of it.
  const Rect cell = clip_to_screen(x, y, x + fw - (shadow ? 0 : 1), y + fh - 1);
  show_screen(e, &cell);
}

void display_text(Engine& e, std::string_view line) {
  TextState& t = e.text;
  TextWindow& w = t.window;
  const Rect area = clipped_window(w);
  if (area.empty()) return;
  if (!w.window_shown) {
    w.window_in_scene = true;
    refresh_scene(e, nullptr);
    const EffectState& fx = e.graphics.effects;
    const Rect wide =
        clip_to_screen(area.left, area.top, int64_t{area.right} + 1, int64_t{area.bottom} + 1);
    run_effect(e, fx.window_effect_type, fx.window_effect_duration, fx.window_effect_mask, &wide);
  }

  LineWalk s;
  s.line = line;
  place_at_cell(w, s);
  s.colour = w.text_colour;
  s.font = CharacterFont{t.drawing_font_face, w.font_width, w.font_height, w.bold == 1};

  for (;;) {
    const unsigned char b = s.at(s.i);
    switch (b) {
      case 0:
        if (!s.page_just_ended && w.column != 0) new_line(e);
        return;
      case ' ':
      case '\t': ++s.i; break;
      case '!': {
        const unsigned char letter = s.at(s.i + 1);
        if (letter == 'w' || letter == 'd') {
          s.i += 2;
          timed_wait(e, s.digits(), letter == 'd');
        } else if (letter == 's') {
          if (s.at(s.i + 2) == 'd') {
            s.i += 3;
            w.speed = -1;
          } else {
            s.i += 2;
            w.speed = s.digits();
          }
        } else {
          ++s.i;  // the letter is text
        }
        break;
      }
      case '#': colour_mark(e, s); break;
      case '/':
        if (s.at(s.i + 1) != 0) {
          script_error(e, "エラー",
                       error_message("表示文中の、/の次は改行文字でなければなりません。"));
        }
        return;
      case '<': {
        ++s.i;
        const int32_t number = s.digits();
        // The table holds 256 buttons; a line that opens more keeps its
        // colours but registers nothing beyond the table.
        if (t.text_button_count < kTextButtonCount) {
          TextButton& button = t.text_buttons[static_cast<size_t>(t.text_button_count)];
          button.number = number;
          button.left = saturate(s.x);
          button.top = saturate(s.y);
        }
        s.colour = t.link_colour;
        break;
      }
      case '>':
        ++s.i;
        if (t.text_button_count < kTextButtonCount) {
          t.text_buttons[static_cast<size_t>(t.text_button_count++)].right = saturate(s.x);
        }
        s.colour = w.text_colour;
        break;
      case '@':
        ++s.i;
        if (!line_wait(e, s)) return;
        break;
      case '\\':
        ++s.i;
        if (!page_wait(e, s)) return;
        break;
      case '_':
        ++s.i;
        s.no_clickstr = true;
        break;
      default:
        if (s.at(s.i + 1) == 0) return;
        if (!show_character(e, s)) return;
        break;
    }
  }
}

void new_line(Engine& e) {
  TextWindow& w = e.text.window;
  w.column = 0;
  history_line_feed(e.text.history);
  if (w.row < INT32_MAX) ++w.row;
  if (w.row == w.rows) {
    script_error(e, "エラー", error_message("文字が枠をはみ出してしまいました。"));
  }
}

void new_page(Engine& e) { empty_page(e, true); }

void clear_text_page(Engine& e) {
  history_page_end(e.text.history);
  empty_page(e, false);
}

}  // namespace vellumite
