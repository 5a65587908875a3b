// The dirty region, the refresh that composes `scene` from the layers,
// the cell animation of sprites and standing pictures, and the picture part
// of a game reset.
#include "game/graphics/layers.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "game/engine.h"
#include "game/graphics/effects.h"
#include "game/graphics/gauges.h"
#include "game/graphics/picture.h"
#include "game/text/text_window.h"
#include "graphics/compositor.h"
#include "graphics/pixel_kernels.h"

namespace vellumite {
namespace {

// A 640x480 24-bit picture, whose pixel memory is one run of rows.
bool full_screen_picture(const Surface& s) {
  return s.bit_count() == 24 && s.width == kWindowWidth && s.height == kWindowHeight &&
         s.stride() == kWindowStride;
}

// Inverts every colour byte of the rectangle.
void invert(Surface& s, const Rect& r, bool whole) {
  if (whole) {
    for (uint8_t& v : s.bits) v = static_cast<uint8_t>(255 - v);
    return;
  }
  const size_t bytes = static_cast<size_t>(r.width()) * 3;
  for (int32_t y = r.top; y < r.bottom; ++y) {
    uint8_t* p = s.row(y) + static_cast<size_t>(r.left) * 3;
    for (size_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(255 - p[i]);
  }
}

// The monochrome filter: the mean of the three channels, tinted.
void monochrome(Surface& s, const Rect& r, bool whole, const LayerState& layers) {
  const Colour c = layers.monocro_colour;
  const int32_t blue = c.blue, green = c.green, red = c.red;
  if (whole) {
    kernels::monochrome(s.bits.data(), s.bits.size() / 3, blue, green, red);
    return;
  }
  const size_t count = static_cast<size_t>(r.width());
  for (int32_t y = r.top; y < r.bottom; ++y)
    kernels::monochrome(s.row(y) + static_cast<size_t>(r.left) * 3, count, blue, green, red);
}

// Step 1 of the refresh: the background, over the whole screen or only in
// the bgalia area with black around it.
void draw_background(GraphicsState& g, const Rect& r) {
  const LayerState& layers = g.layers;
  const Surface& bg = g.background.surface;
  // Inclusive ends below.
  int64_t left = r.left, top = r.top, right = r.last_x(), bottom = r.last_y();
  int64_t offset_x = 0, offset_y = 0;
  const bool covers = layers.bg_area_x == -1 && bg.width >= kWindowWidth &&
                      bg.height >= kWindowHeight && bg.bit_count() == 24;
  if (!covers) {
    // Whatever no background pixel reaches stays black.
    fill_picture(g.scene, r.left, r.top, r.right, r.bottom, Colour{});
  }
  if (layers.bg_area_x != -1) {
    offset_x = layers.bg_area_x;
    offset_y = layers.bg_area_y;
    right = std::min<int64_t>(right, offset_x + layers.bg_area_w - 1);
    bottom = std::min<int64_t>(bottom, offset_y + layers.bg_area_h - 1);
  }
  left = std::max(left, offset_x);
  top = std::max(top, offset_y);
  right = std::min<int64_t>(right, offset_x + bg.width - 1);
  bottom = std::min<int64_t>(bottom, offset_y + bg.height - 1);
  if (left > right || top > bottom) return;
  blit(g.scene, static_cast<int32_t>(left), static_cast<int32_t>(top),
       static_cast<int32_t>(right - left + 1), static_cast<int32_t>(bottom - top + 1), g.background,
       static_cast<int32_t>(left - offset_x), static_cast<int32_t>(top - offset_y));
}

void draw_sprite(GraphicsState& g, int32_t n, const Rect& r, bool suppress_low) {
  const SpriteSlot& slot = g.layers.sprites[static_cast<size_t>(n)];
  if (slot.name.empty() || slot.visible == 0) return;
  if (suppress_low && n <= 9) return;
  draw_picture(slot.picture, g.scene, &r, slot.x, slot.y);
}

// A message other than a timer message is waiting: the player wants
// attention, so the animation scan gives way.
bool input_waiting(Engine& e) {
  Message message;
  return e.platform.peek_message(message, false) && message.kind != MessageKind::Timer;
}

// Advances one animated picture when its cell is due. True when the picture
// changed; `stop` is set when a waiting message ended the scan first.
bool advance_cell(Engine& e, Picture& p, int32_t x, int32_t y, uint32_t now, bool& stop) {
  const uint32_t elapsed = now - p.anim_time;
  // The interval is compared as an unsigned number, as the elapsed time is.
  if (elapsed <= static_cast<uint32_t>(cell_interval(p, p.cell))) return false;
  // A picture that has stopped on its last cell stays there unmarked.
  const int64_t next = int64_t{p.cell} + p.anim_step;
  if (p.loop_mode == kLoopStop && (next < 0 || next >= p.cells)) {
    p.cell = p.cells - 1;
    return false;
  }
  // The waiting-message check only matters where something would change,
  // so it is made just before a change rather than for every slot.
  if (input_waiting(e)) {
    stop = true;
    return false;
  }
  p.cell += p.anim_step;
  if (p.cell < 0 || p.cell >= p.cells) {
    switch (p.loop_mode) {
      case kLoopReverse:
        p.anim_step = -p.anim_step;
        p.cell += 2 * p.anim_step;
        // A step other than +-1 could still leave the range.
        p.cell = std::clamp(p.cell, 0, p.cells - 1);
        break;
      default: p.cell = 0; break;  // restart; also for loop modes no tag defines
    }
  }
  mark_picture(e, p, x, y);
  p.anim_time = now;
  return true;
}

}  // namespace

void mark_picture(Engine& e, const Picture& picture, int32_t x, int32_t y) {
  mark_dirty(e, Rect::inclusive(x, y, int64_t{x} + cell_width(picture) + 1,
                                int64_t{y} + picture_height(picture) + 1));
}

void mark_dirty(Engine& e, const Rect& r) {
  e.graphics.layers.dirty.add(intersect(r, kWindowRect));
}

void refresh_scene(Engine& e, const Rect* rect) {
  GraphicsState& g = e.graphics;
  const LayerState& layers = g.layers;
  const Rect r = rect != nullptr ? intersect(*rect, kWindowRect) : kWindowRect;
  Surface& scene = g.scene.surface;
  if (r.empty() || !full_screen_picture(scene)) return;

  draw_background(g, r);

  // Sprites above humanz lie behind the standing pictures, the others in
  // front; lower numbers are drawn later, so sprite 0 is the topmost.
  const bool suppress_low = layers.mode_saya_on && layers.hiding_window;
  const int32_t humanz = std::clamp(layers.humanz, -1, kSpriteCount - 1);
  for (int32_t n = kSpriteCount - 1; n > humanz; --n) draw_sprite(g, n, r, suppress_low);
  for (int32_t s = 0; s < kStandingCount; ++s) {
    const StandingSlot& slot = layers.standing[static_cast<size_t>(s)];
    if (!slot.name.empty()) draw_picture(slot.picture, g.scene, &r, slot.x, slot.y);
  }
  for (int32_t n = humanz; n >= 0; --n) draw_sprite(g, n, r, suppress_low);

  // The colour filters act on the pictures only: gauges, numbers and the
  // text window come after them.
  const bool whole = r == kWindowRect;
  if (layers.nega_mode == 1) invert(scene, r, whole);
  if (layers.monocro_on) monochrome(scene, r, whole, layers);
  if (layers.nega_mode == 2) invert(scene, r, whole);

  // Gauges, then numbers (mode_saya hides them with the window).
  if (!suppress_low) {
    draw_bars(e, r);
    draw_numbers(e, r);
  }

  if (e.text.window.window_in_scene) recompose_text(e, &r);
}

void animate_layers(Engine& e) {
  GraphicsState& g = e.graphics;
  LayerState& layers = g.layers;
  const uint32_t now = e.platform.ticks();
  bool changed = false, stop = false;
  for (int32_t n = 0; n < kSpriteCount && !stop; ++n) {
    SpriteSlot& slot = layers.sprites[static_cast<size_t>(n)];
    Picture& p = slot.picture;
    if (slot.name.empty() || slot.visible == 0 || p.cells <= 1) continue;
    changed |= advance_cell(e, p, slot.x, slot.y, now, stop);
  }
  for (int32_t s = 0; s < kStandingCount && !stop; ++s) {
    StandingSlot& slot = layers.standing[static_cast<size_t>(s)];
    Picture& p = slot.picture;
    if (slot.name.empty() || p.cells <= 1) continue;
    changed |= advance_cell(e, p, slot.x, slot.y, now, stop);
  }
  if (changed) show_dirty(e, 1, 0, "");
}

void reset_pictures(Engine& e) {
  GraphicsState& g = e.graphics;
  LayerState& layers = g.layers;

  const bool placeholder = g.placeholder_on_missing;
  g.placeholder_on_missing = true;
  load_picture_from_tag(e, g.click_cursors[0], ":l/3,160,2;cursor0.bmp");
  load_picture_from_tag(e, g.click_cursors[1], ":l/3,160,2;cursor1.bmp");
  g.placeholder_on_missing = placeholder;

  layers.dirty.clear();
  for (Picture* p : {&g.screen, &g.scene, &g.background, &g.glyph_buffer, &g.text_layer})
    fill_picture(*p, 0, 0, kWindowWidth, kWindowHeight, Colour{});
  const Surface& screen = g.screen.surface;
  if (full_screen_picture(screen)) {
    std::memcpy(e.platform.window_pixels(), screen.bits.data(), kWindowBytes);
    e.platform.present(kWindowRect);
  }

  layers.background_name = "black";
  for (size_t s = 0; s < layers.standing.size(); ++s) {
    layers.standing[s].name.clear();
    free_picture(layers.standing[s].picture);
  }
  // Visibility and opacity stay; only the names, pictures and positions go.
  for (size_t n = 0; n < layers.sprites.size(); ++n) {
    SpriteSlot& slot = layers.sprites[n];
    slot.name.clear();
    slot.x = 0;
    slot.y = 0;
    free_picture(slot.picture);
  }
  layers.monocro_on = false;
  layers.nega_mode = 0;
  // Both click-wait cursors go back to relative placement at offset (0, 0).
  for (CursorPlacement& c : e.text.cursors) c = CursorPlacement{};
  clear_gauges(g);
}

void load_background_picture(Engine& e, std::string_view tag) {
  GraphicsState& g = e.graphics;
  load_picture_from_tag(e, g.background, tag);
  g.background.trans_mode = kTransCopy;
  const int32_t width = cell_width(g.background), height = picture_height(g.background);
  if (width != kWindowWidth || height != kWindowHeight) {
    fill_picture(g.scratch, 0, 0, kWindowWidth, kWindowHeight, Colour{});
    blit(g.scratch, 320 - width / 2, 240 - height / 2, width, height, g.background, 0, 0);
    create_blank(g.background, kWindowWidth, kWindowHeight, 24);
    blit(g.background, 0, 0, kWindowWidth, kWindowHeight, g.scratch, 0, 0);
  }
}

}  // namespace vellumite
