#include "game/text/text_window.h"

#include <algorithm>

#include "game/engine.h"
#include "game/graphics/effects.h"
#include "game/graphics/layers.h"
#include "graphics/compositor.h"
#include "graphics/pixel_kernels.h"

namespace vellumite {

void hide_text_window(Engine& e) {
  TextWindow& w = e.text.window;
  if (!w.window_shown || w.erase_flag == 0) return;
  w.window_in_scene = false;
  w.window_shown = false;
  mark_dirty(e, Rect::inclusive(w.window_left, w.window_top, w.window_right, w.window_bottom));
  const EffectState& fx = e.graphics.effects;
  show_dirty(e, fx.window_effect_type, fx.window_effect_duration, fx.window_effect_mask);
}

void draw_window_background(Engine& e, int32_t left, int32_t top, int32_t right, int32_t bottom,
                            Picture& target) {
  TextWindow& w = e.text.window;
  // In 64 bits: the rectangle comes from the scenario and may be far off.
  const int64_t width = std::min<int64_t>(int64_t{right} - left + 1, 640);
  const int64_t height = std::min<int64_t>(int64_t{bottom} - top + 1, 480);
  if (width < 1 || height < 1) return;
  w.window_shown = true;
  if (w.window_colour == -1) {
    const Rect clip = Rect::inclusive(left, top, int64_t{right} + 2, int64_t{bottom} + 2);
    draw_picture(e.graphics.window_picture, target, &clip, w.window_left, w.window_top);
    return;
  }
  if (w.window_colour == 0xFFFFFF) return;
  Surface& s = target.surface;
  const int32_t x0 = std::max(left, 0), y0 = std::max(top, 0);
  const auto x1 = static_cast<int32_t>(std::min<int64_t>(left + width, s.width));
  const auto y1 = static_cast<int32_t>(std::min<int64_t>(top + height, s.height));
  if (x1 <= x0 || y1 <= y0) return;
  const int32_t blue = w.window_colour & 0xFF, green = (w.window_colour >> 8) & 0xFF,
                red = (w.window_colour >> 16) & 0xFF;
  if (x0 == 0 && x1 == s.width && s.stride() == s.width * 3) {
    // Whole rows lie one after another (bottom-up): one run.
    kernels::tint(s.row(y1 - 1), static_cast<size_t>(y1 - y0) * static_cast<size_t>(s.width), blue,
                  green, red);
    return;
  }
  for (int32_t y = y0; y < y1; ++y) {
    kernels::tint(s.row(y) + static_cast<size_t>(x0) * 3, static_cast<size_t>(x1 - x0), blue, green,
                  red);
  }
}

void recompose_text(Engine& e, const Rect* rect) {
  TextWindow& w = e.text.window;
  if (w.text_mode == 0) return;
  Rect r = Rect::inclusive(w.window_left, w.window_top, w.window_right, w.window_bottom);
  if (rect != nullptr) r = intersect(r, *rect);
  r = intersect(r, kWindowRect);
  Picture& scene = e.graphics.scene;
  // A colour tint is laid in the same pass as the text; any other window
  // background is drawn first.
  const bool tinted = w.window_colour != -1 && w.window_colour != 0xFFFFFF;
  if (!tinted) draw_window_background(e, r.left, r.top, r.last_x(), r.last_y(), scene);
  if (r.empty()) return;
  if (tinted) w.window_shown = true;
  const uint8_t tint[3] = {static_cast<uint8_t>(w.window_colour & 0xFF),
                           static_cast<uint8_t>((w.window_colour >> 8) & 0xFF),
                           static_cast<uint8_t>((w.window_colour >> 16) & 0xFF)};
  const uint8_t* tint_or_none = tinted ? tint : nullptr;
  const Surface& layer = e.graphics.text_layer.surface;
  Surface& s = scene.surface;
  const bool shadow = w.shadow != 0;
  // The last column, included.
  const auto left = static_cast<size_t>(r.left), right = static_cast<size_t>(r.right - 1);
  for (int32_t y = r.top; y < r.bottom; ++y) {
    const uint8_t* alpha = e.text.text_alpha.data() + static_cast<size_t>(y) * 640;
    uint8_t* row = s.row(y);
    const uint8_t* colour = layer.row(y);
    // The shadow of each character pixel darkens the pixel to its right
    // before that pixel's own text is laid over it; the first pixel has no
    // shadow from the left, the one after the last gets only the shadow.
    kernels::window_text(row + left * 3, colour + left * 3, alpha + left, 1, false, tint_or_none);
    kernels::window_text(row + (left + 1) * 3, colour + (left + 1) * 3, alpha + left + 1,
                         right - left, shadow, tint_or_none);
    if (shadow && right + 1 < 640) kernels::shade(row + (right + 1) * 3, alpha + right, 1);
  }
}

void reset_text(Engine& e) {
  TextState& t = e.text;
  t.window = TextWindow{};
  free_picture(e.graphics.window_picture);
  std::fill(t.text_alpha.begin(), t.text_alpha.end(), uint8_t{0});
  t.drawing_font_face = e.shell.font_face;
  t.cursors = {};
  t.cursor_kind = kCursorNone;
  t.text_button_count = 0;
  history_wipe(t.history);
  t.menu.right_click_enabled = 1;
}

void reset_text_cycle_defaults(TextState& text) {
  text.default_speeds = {40, 10, 0};
  text.link_colour = {255, 255, 64};
  text.clickstr_chars.clear();
  text.clickstr_lines = 0;
  text.window.erase_flag = 1;
  text.menu = MenuSettings{};
  std::fill(text.text_alpha.begin(), text.text_alpha.end(), 0);
}

}  // namespace vellumite
