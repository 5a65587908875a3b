#include "graphics/picture.h"

#include <algorithm>
#include <cstring>

#include "graphics/graphics_state.h"

namespace vellumite {
namespace {

int32_t cell_count(const Picture& picture) { return std::max(picture.cells, 1); }

// The palette entry closest to a colour, as the system picks one when a
// colour is drawn into a paletted picture.
uint8_t nearest_index(const Surface& s, uint8_t blue, uint8_t green, uint8_t red) {
  int best = 0;
  int best_distance = INT32_MAX;
  for (size_t i = 0; i < s.color_table.size(); ++i) {
    const PaletteEntry& c = s.color_table[i];
    int db = c.blue - blue, dg = c.green - green, dr = c.red - red;
    int distance = db * db + dg * dg + dr * dr;
    if (distance < best_distance) {
      best_distance = distance;
      best = static_cast<int>(i);
    }
  }
  return static_cast<uint8_t>(best);
}

bool drawable(const Surface& s) {
  return !s.empty() && (s.bit_count() == 24 || (s.bit_count() == 8 && s.palette_entries == 256));
}

// Copies one row of `n` pixels between two drawable surfaces.
void copy_pixels(const Surface& from, const uint8_t* src, Surface& to, uint8_t* dst, int32_t n) {
  const int32_t from_bits = from.bit_count(), to_bits = to.bit_count();
  if (from_bits == to_bits) {
    std::memmove(dst, src, static_cast<size_t>(n) * static_cast<size_t>(from_bits / 8));
  } else if (from_bits == 8) {
    for (int32_t i = 0; i < n; ++i) {
      const PaletteEntry& c = from.color_table[src[i]];
      dst[3 * i] = c.blue;
      dst[3 * i + 1] = c.green;
      dst[3 * i + 2] = c.red;
    }
  } else {
    for (int32_t i = 0; i < n; ++i)
      dst[i] = nearest_index(to, src[3 * i], src[3 * i + 1], src[3 * i + 2]);
  }
}

// Bytes of pixels held by every picture of the graphics state.
uint64_t held_picture_bytes(const GraphicsState& g) {
  uint64_t total = 0;
  auto add = [&total](const Picture& p) { total += p.surface.bits.size(); };
  for (const Picture* p : {&g.screen, &g.scene, &g.background, &g.scratch, &g.text_layer,
                           &g.glyph_buffer, &g.window_picture, &g.button_source}) {
    add(*p);
  }
  for (const Picture& p : g.click_cursors) add(p);
  for (const Picture& p : g.lookback_buttons) add(p);
  for (const StandingSlot& slot : g.layers.standing) add(slot.picture);
  for (const SpriteSlot& slot : g.layers.sprites) add(slot.picture);
  return total;
}

}  // namespace

int32_t cell_width(const Picture& picture) {
  int32_t width = picture.surface.width / cell_count(picture);
  return picture.trans_mode == kTransAlpha ? width / 2 : width;
}

int32_t picture_height(const Picture& picture) { return picture.surface.height; }

int32_t cell_left(const Picture& picture, int32_t cell) {
  int32_t cells = cell_count(picture);
  return std::clamp(cell, 0, cells - 1) * (picture.surface.width / cells);
}

int32_t cell_interval(const Picture& picture, int32_t cell) {
  if (picture.interval != -1) return picture.interval;
  if (cell < 0 || static_cast<size_t>(cell) >= picture.cell_intervals.size()) return 0;
  return picture.cell_intervals[static_cast<size_t>(cell)];
}

void reset_picture(Picture& picture) {
  free_picture(picture);
  picture.anim_time = 0;
  picture.anim_step = 1;
  picture.trans_mode = kTransCopy;
  picture.alpha = -1;
  picture.cell = 0;
  picture.cells = 1;
  picture.interval = 0;
  picture.cell_intervals.clear();
  picture.loop_mode = kLoopRestart;
}

void pixels_changed(Picture& picture) { picture.spans = SpanMap{}; }

void free_picture(Picture& picture) {
  free_surface(picture.surface);
  pixels_changed(picture);
}

bool create_blank(Picture& picture, int32_t width, int32_t height, int32_t bit_count) {
  pixels_changed(picture);
  return create_blank(picture.surface, width, height, bit_count);
}

void fill_picture(Picture& picture, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  Colour colour) {
  Surface& s = picture.surface;
  if (!drawable(s)) return;
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, s.width);
  bottom = std::min(bottom, s.height);
  if (left >= right || top >= bottom) return;
  pixels_changed(picture);
  const uint8_t red = colour.red, green = colour.green, blue = colour.blue;
  const size_t n = static_cast<size_t>(right - left);
  if (s.bit_count() == 8) {
    const uint8_t index = nearest_index(s, blue, green, red);
    for (int32_t y = top; y < bottom; ++y) std::memset(s.row(y) + left, index, n);
    return;
  }
  for (int32_t y = top; y < bottom; ++y) {
    uint8_t* p = s.row(y) + 3 * static_cast<size_t>(left);
    for (size_t i = 0; i < n; ++i, p += 3) {
      p[0] = blue;
      p[1] = green;
      p[2] = red;
    }
  }
}

void blit(Picture& destination, int32_t x, int32_t y, int32_t width, int32_t height,
          const Picture& source, int32_t source_x, int32_t source_y) {
  Surface& to = destination.surface;
  const Surface& from = source.surface;
  if (!drawable(to) || !drawable(from)) return;
  // Clip against both pictures, moving the other corner along; in 64 bits
  // so that no coordinate can overflow.
  int64_t dx = x, dy = y, sx = source_x, sy = source_y, w = width, h = height;
  const int64_t shift_x = std::max({int64_t{0}, -dx, -sx});
  const int64_t shift_y = std::max({int64_t{0}, -dy, -sy});
  dx += shift_x;
  sx += shift_x;
  w -= shift_x;
  dy += shift_y;
  sy += shift_y;
  h -= shift_y;
  w = std::min({w, to.width - dx, from.width - sx});
  h = std::min({h, to.height - dy, from.height - sy});
  if (w < 1 || h < 1) return;
  pixels_changed(destination);

  const size_t to_pixel = static_cast<size_t>(to.bit_count() / 8);
  const size_t from_pixel = static_cast<size_t>(from.bit_count() / 8);
  // Within one picture, rows are copied in the order that reads each source
  // row before it is overwritten.
  const bool upward = &to == &from && dy > sy;
  for (int64_t i = 0; i < h; ++i) {
    int64_t r = upward ? h - 1 - i : i;
    copy_pixels(from, from.row(static_cast<int32_t>(sy + r)) + from_pixel * static_cast<size_t>(sx),
                to, to.row(static_cast<int32_t>(dy + r)) + to_pixel * static_cast<size_t>(dx),
                static_cast<int32_t>(w));
  }
}

uint64_t picture_budget(const GraphicsState& g) {
  const uint64_t held = held_picture_bytes(g);
  return held >= kMaxHeldPictureBytes ? 0 : kMaxHeldPictureBytes - held;
}

}  // namespace vellumite
