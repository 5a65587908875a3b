// The text history screen.
#include "game/text/lookback.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/sjis.h"
#include "game/audio/sound.h"
#include "game/engine.h"
#include "game/graphics/effects.h"
#include "game/graphics/layers.h"
#include "game/graphics/picture.h"
#include "game/shell/player_wait.h"
#include "game/text/text_window.h"
#include "graphics/compositor.h"

namespace vellumite {
namespace {

enum ButtonPicture { kUpPointed, kUpPlain, kDownPointed, kDownPlain };

// One of the two buttons: where it lies and the screen beneath it.
struct ButtonArea {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  Picture beneath;
};

// The lookback screen while it is open.
class HistoryScreen {
 public:
  explicit HistoryScreen(Engine& e) : e_(e), count_(e.text.history.page_count) {}

  bool run();

 private:
  void show_page(bool first);
  void draw_text(const std::string& text);
  void place_buttons();
  void draw_buttons();
  void draw_button(ButtonArea& area, bool shown, const Picture& picture);
  void turn(int step);
  // Whether the pointer at `y` points into the upper or lower third.
  bool in_upper_third(int32_t y) const;
  bool in_lower_third(int32_t y) const;
  int direction_at(int32_t y) const;
  void leave();

  Engine& e_;
  int count_;
  int page_ = 0;
  int dir_ = 0;  // -1 older, +1 newer, 0 none
  bool done_ = false;
  Rect area_;
  std::array<ButtonArea, 2> buttons_;  // up, down
  // The page's own text, kept while the history draws over the screen.
  std::vector<uint8_t> saved_alpha_;
  Picture saved_layer_;
};

void play_sound(Engine& e, std::string_view name) {
  if (!name.empty()) play_wave(e, name, false);
}

bool HistoryScreen::run() {
  TextState& t = e_.text;
  saved_alpha_ = t.text_alpha;
  const Surface& layer = e_.graphics.text_layer.surface;
  if (!layer.empty()) {
    create_blank(saved_layer_, layer.width, layer.height, 24);
    blit(saved_layer_, 0, 0, layer.width, layer.height, e_.graphics.text_layer, 0, 0);
  }
  page_ = count_ - 1;
  show_page(true);

  ShellState& shell = e_.shell;
  WaitRules rules;
  rules.kind = "history";
  rules.animate_layers = false;
  rules.yield_after_message = false;
  rules.ended = [&] { return done_; };
  rules.after_poll = [&](const Message* m) {
    if (m == nullptr) return false;
    switch (m->kind) {
      case MessageKind::MouseMove: {
        const int dir = direction_at(shell.mouse_y);
        if (dir != dir_) {
          dir_ = dir;
          draw_buttons();
        }
        break;
      }
      case MessageKind::Wheel: turn(m->param == kWheelUp ? -1 : 1); break;
      case MessageKind::Key:
        if (m->param == kKeyPageUp) turn(-1);
        if (m->param == kKeyPageDown) turn(1);
        break;
      default: break;
    }
    if (shell.clicked_flag) {
      shell.clicked_flag = false;
      if (dir_ != 0) {
        turn(dir_);
      } else if (page_ == count_ - 1 && in_lower_third(shell.mouse_y)) {
        done_ = true;  // a click on to a newer page past the newest
      }
    }
    if (shell.rclicked_flag) {
      shell.rclicked_flag = false;
      done_ = true;
    }
    return done_;
  };
  run_wait(e_, rules);
  leave();
  return true;
}

// Goes `step` pages newer (positive) or older; past the newest page the
// screen closes.
void HistoryScreen::turn(int step) {
  const int next = page_ + step;
  if (next >= count_) {
    done_ = true;
    return;
  }
  if (next < 0) return;
  page_ = next;
  play_sound(e_, e_.text.menu.lookback_voice);
  show_page(false);
}

bool HistoryScreen::in_upper_third(int32_t y) const {
  const TextWindow& w = e_.text.window;
  return y < (int64_t{w.window_bottom} + 2 * int64_t{w.window_top}) / 3 && y >= w.window_top;
}

bool HistoryScreen::in_lower_third(int32_t y) const {
  const TextWindow& w = e_.text.window;
  return y > (int64_t{w.window_top} + 2 * int64_t{w.window_bottom}) / 3 && y <= w.window_bottom;
}

int HistoryScreen::direction_at(int32_t y) const {
  if (page_ > 0 && in_upper_third(y)) return -1;
  if (page_ < count_ - 1 && in_lower_third(y)) return 1;
  return 0;
}

void HistoryScreen::show_page(bool first) {
  TextWindow& w = e_.text.window;
  const std::string text = history_page(history_text(e_.text.history), page_);
  if (e_.automation.tracing()) e_.automation.trace("history", std::to_string(page_));
  area_ = clip_to_screen(w.window_left, w.window_top, w.window_right, w.window_bottom);
  if (first) hide_text_window(e_);
  w.window_in_scene = false;
  refresh_scene(e_, nullptr);
  draw_window_background(e_, w.window_left, w.window_top, w.window_right, w.window_bottom,
                         e_.graphics.scene);
  const Rect shown = clip_to_screen(w.window_left, w.window_top, int64_t{w.window_right} + 2,
                                    int64_t{w.window_bottom} + 2);
  if (first) {
    const EffectState& fx = e_.graphics.effects;
    run_effect(e_, fx.window_effect_type, fx.window_effect_duration, fx.window_effect_mask, &shown);
  } else {
    run_effect(e_, 1, 0, "", &shown);
  }
  draw_text(text);
  if ((page_ == count_ - 1 && dir_ == 1) || (page_ == 0 && dir_ == -1)) dir_ = 0;
  place_buttons();
  draw_buttons();
}

// The page as recorded: a line feed starts the next row, every other pair of
// bytes is one character in the history colour, drawn only onto the screen
// and only where its cell lies inside the window.
void HistoryScreen::draw_text(const std::string& text) {
  TextState& t = e_.text;
  const TextWindow& w = t.window;
  if (area_.empty()) return;
  CharacterFont font;
  font.face = t.drawing_font_face;
  font.width = w.font_width;
  font.height = w.font_height;
  font.bold = w.bold == 1;
  const Colour colour = t.menu.lookback_colour;
  int64_t x = w.origin_x, y = w.origin_y;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == '\n') {
      x = w.origin_x;
      y += w.pitch_y;
      ++i;
      continue;
    }
    if (i + 1 >= text.size()) break;
    const auto code = static_cast<uint16_t>(static_cast<uint8_t>(text[i]) << 8 |
                                            static_cast<uint8_t>(text[i + 1]));
    i += 2;
    if (x >= area_.left && y >= area_.top && x + font.width <= area_.right &&
        y + font.height <= area_.bottom) {
      draw_character(e_, font, static_cast<int32_t>(x), static_cast<int32_t>(y), code, colour);
    }
    x += w.pitch_x;
  }
}

// The buttons lie at the window's right edge, top and bottom; the screen
// beneath them (the page just drawn) is kept to draw them over again.
void HistoryScreen::place_buttons() {
  const TextWindow& w = e_.text.window;
  const auto& pictures = e_.graphics.lookback_buttons;
  for (int b = 0; b < 2; ++b) {
    ButtonArea& area = buttons_[static_cast<size_t>(b)];
    const Picture& plain = pictures[b == 0 ? kUpPlain : kDownPlain];
    area.width = std::max(cell_width(plain), 1);
    area.height = std::max(picture_height(plain), 1);
    area.x = saturate(int64_t{w.window_right} - area.width);
    area.y = b == 0 ? w.window_top : saturate(int64_t{w.window_bottom} - area.height);
    create_blank(area.beneath, area.width, area.height, 24);
    blit(area.beneath, 0, 0, area.width, area.height, e_.graphics.screen, area.x, area.y);
  }
}

void HistoryScreen::draw_buttons() {
  const auto& pictures = e_.graphics.lookback_buttons;
  draw_button(buttons_[0], page_ > 0, pictures[dir_ == -1 ? kUpPointed : kUpPlain]);
  draw_button(buttons_[1], page_ < count_ - 1, pictures[dir_ == 1 ? kDownPointed : kDownPlain]);
}

void HistoryScreen::draw_button(ButtonArea& area, bool shown, const Picture& picture) {
  Picture& screen = e_.graphics.screen;
  blit(screen, area.x, area.y, area.width, area.height, area.beneath, 0, 0);
  if (shown && !picture.empty()) draw_picture(picture, screen, nullptr, area.x, area.y);
  const Rect r = intersect(Rect::sized(area.x, area.y, area.width, area.height), kWindowRect);
  if (!r.empty()) show_screen(e_, &r);
}

// The page's own text comes back, and with it the game screen, through the
// compositor.
void HistoryScreen::leave() {
  TextState& t = e_.text;
  t.text_alpha = std::move(saved_alpha_);
  if (!saved_layer_.empty()) {
    const Surface& s = saved_layer_.surface;
    blit(e_.graphics.text_layer, 0, 0, s.width, s.height, saved_layer_, 0, 0);
  }
  hide_text_window(e_);
  t.window.window_in_scene = true;
  refresh_scene(e_, nullptr);
  const EffectState& fx = e_.graphics.effects;
  run_effect(e_, fx.window_effect_type, fx.window_effect_duration, fx.window_effect_mask, nullptr);
}

}  // namespace

std::string history_page(std::string_view history, int page) {
  size_t i = 0;
  const auto step = [&history](size_t at) {
    return is_sjis_lead(static_cast<uint8_t>(history[at])) ? at + 2 : at + 1;
  };
  for (int skipped = 0; skipped < page; ++skipped) {
    while (i < history.size() && history[i] != '\\' && history[i] != '\0') i = step(i);
    if (i >= history.size() || history[i] != '\\') return {};
    ++i;
  }
  std::string text;
  while (i < history.size() && history[i] != '\\' && history[i] != '\0') {
    const size_t next = std::min(step(i), history.size());
    text.append(history.substr(i, next - i));
    i = next;
  }
  return text;
}

bool lookback(Engine& e) {
  if (e.text.history.page_count <= 0) {
    play_sound(e, e.text.menu.sounds[4]);
    return false;
  }
  HistoryScreen screen(e);
  return screen.run();
}

void load_default_lookback_buttons(Engine& e) {
  static constexpr std::array<std::string_view, 4> kFiles = {"uoncur.bmp", "uoffcur.bmp",
                                                             "doncur.bmp", "doffcur.bmp"};
  GraphicsState& g = e.graphics;
  const bool placeholder = g.placeholder_on_missing;
  g.placeholder_on_missing = true;
  for (size_t i = 0; i < kFiles.size(); ++i) {
    if (g.lookback_buttons[i].empty()) load_picture_from_tag(e, g.lookback_buttons[i], kFiles[i]);
  }
  g.placeholder_on_missing = placeholder;
}

}  // namespace vellumite
