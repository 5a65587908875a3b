#include "game/graphics/transitions.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "game/engine.h"
#include "game/graphics/picture.h"
#include "game/shell/window_proc.h"
#include "graphics/pixel_kernels.h"

namespace vellumite::transitions {
namespace {

// The rhythm every transition keeps: a step draws, lets at most one waiting
// message reach the window procedure (input is recorded, nothing cuts the
// transition short), then sleeps for what is left of the step. Step ends are
// counted from the start of the transition, so a sleep that wakes late or a
// slow step shortens the next wait instead of lengthening the transition.
class StepClock {
 public:
  explicit StepClock(Engine& e) : e_(e), start_(e.platform.ticks()) {}

  int64_t elapsed() const { return static_cast<uint32_t>(e_.platform.ticks() - start_); }
  void sleep_until(int64_t until) const {
    int64_t now = elapsed();
    if (now < until) e_.platform.sleep(static_cast<uint32_t>(until - now));
  }
  void end_step(int64_t until) const {
    pump_message(e_);
    sleep_until(until);
  }

 private:
  Engine& e_;
  uint32_t start_;
};

// A level that follows the clock: 1 at the start, `span` levels more after
// `duration` milliseconds, so the last level (1 + span) falls exactly at the
// duration. It is computed from the time since the start, so no rounding is
// lost from step to step and the transition keeps its length.
struct Ramp {
  int64_t duration;  // at least 1
  int64_t span;

  int64_t level_at(int64_t ms) const { return 1 + ms * span / duration; }
  // The first millisecond at which `level` is reached.
  int64_t due_time(int64_t level) const { return ((level - 1) * duration + span - 1) / span; }
};

// The level of the next step: the one the clock has reached, or, when the
// clock has not gained a level, one more after sleeping until it is due.
int64_t next_level(const StepClock& clock, const Ramp& ramp, int64_t level) {
  int64_t reached = ramp.level_at(clock.elapsed());
  if (reached > level) return reached;
  clock.sleep_until(ramp.due_time(level + 1));
  return level + 1;
}

int64_t step_time(int32_t duration, int32_t parts) { return std::max(duration, 0) / parts; }

uint8_t* bits(Picture& p) { return p.surface.bits.data(); }

// Calls fn(offset, pixels) for each run of consecutive pixels of `area`: one
// run for a full-width area (its rows are contiguous), else one per row.
template <typename Fn>
void for_each_run(const Rect& area, Fn fn) {
  if (area.empty()) return;
  if (area.left == 0 && area.right == kWindowWidth) {
    fn(pixel_offset(0, area.bottom - 1), static_cast<size_t>(area.width()) * area.height());
    return;
  }
  for (int32_t y = area.top; y < area.bottom; ++y) {
    fn(pixel_offset(area.left, y), static_cast<size_t>(area.width()));
  }
}

// Copies a width x height block from (fx, fy) of `from` to (tx, ty) of `to`.
void copy_block(uint8_t* to, int32_t tx, int32_t ty, const uint8_t* from, int32_t fx, int32_t fy,
                int32_t width, int32_t height) {
  for (int32_t i = 0; i < height; ++i) {
    std::memcpy(to + pixel_offset(tx, ty + i), from + pixel_offset(fx, fy + i),
                static_cast<size_t>(width) * 3);
  }
}

void show_area(Engine& e, const uint8_t* from, const Rect& area) {
  if (area.empty()) return;
  copy_area(e.platform.window_pixels(), from, area);
  e.platform.present(area);
}

void show_whole(Engine& e, const uint8_t* from) {
  std::memcpy(e.platform.window_pixels(), from, kWindowBytes);
  e.platform.present(kWindowRect);
}

// Tiles the mask named by `tag` over the whole of `scratch` from (0, 0): each
// tile is the mask's top-left cell. A mask that is missing, empty or cannot
// be drawn leaves `scratch` black, so every pixel counts as darkest.
void tile_mask(Engine& e, std::string_view tag) {
  Picture& scratch = e.graphics.scratch;
  uint8_t* out = bits(scratch);
  std::memset(out, 0, kWindowBytes);
  Picture mask;
  load_picture_from_tag(e, mask, tag);
  if (mask.empty()) return;
  const int32_t tile_w = std::min(cell_width(mask), kWindowWidth);
  const int32_t tile_h = std::min(picture_height(mask), kWindowHeight);
  if (tile_w < 1 || tile_h < 1) return;
  blit(scratch, 0, 0, tile_w, tile_h, mask, 0, 0);
  const size_t tile_bytes = static_cast<size_t>(tile_w) * 3;
  for (int32_t y = 0; y < tile_h; ++y) {
    uint8_t* row = out + pixel_offset(0, y);
    for (size_t x = tile_bytes; x < kWindowStride; x += tile_bytes) {
      std::memcpy(row + x, row, std::min(tile_bytes, kWindowStride - x));
    }
  }
  for (int32_t y = tile_h; y < kWindowHeight; ++y) {
    std::memcpy(out + pixel_offset(0, y), out + pixel_offset(0, y % tile_h), kWindowStride);
  }
}

}  // namespace

void copy_area(uint8_t* to, const uint8_t* from, const Rect& area) {
  for_each_run(area, [&](size_t offset, size_t pixels) {
    std::memcpy(to + offset, from + offset, pixels * 3);
  });
}

void blinds(Engine& e, int32_t type, int32_t duration, const Rect& area) {
  const bool columns = type == 2 || type == 3;
  const bool reverse = type == 3 || type == 5;
  const int64_t step = step_time(duration, 16);
  const uint8_t* scene = bits(e.graphics.scene);
  StepClock clock(e);
  for (int32_t s = 0; s < 16; ++s) {
    const int32_t i = reverse ? 15 - s : s;
    if (!area.empty()) {
      uint8_t* window = e.platform.window_pixels();
      if (columns) {
        for (int32_t x = area.left + i; x < area.right; x += 16) {
          copy_block(window, x, area.top, scene, x, area.top, 1, area.height());
        }
      } else {
        for (int32_t y = area.top + i; y < area.bottom; y += 16) {
          copy_block(window, area.left, y, scene, area.left, y, area.width(), 1);
        }
      }
      e.platform.present(area);
    }
    clock.end_step((s + 1) * step);
  }
}

void staggered_blinds(Engine& e, int32_t type, int32_t duration, const Rect& area) {
  const bool columns = type == 6 || type == 7;
  const bool reverse = type == 7 || type == 9;
  const int32_t steps = columns ? 49 : 43;
  const int32_t last = columns ? 1169 : 1009;
  const int64_t step = step_time(duration, columns ? 48 : 42);
  const uint8_t* scene = bits(e.graphics.scene);
  StepClock clock(e);
  for (int32_t s = 0; s < steps; ++s) {
    const int32_t p = reverse ? last - 24 * s : 24 * s;
    if (!area.empty()) {
      uint8_t* window = e.platform.window_pixels();
      for (int32_t k = 0; k < 24; ++k) {
        const int32_t c = p - 23 * k;
        if (columns && c >= area.left && c < area.right) {
          copy_block(window, c, area.top, scene, c, area.top, 1, area.height());
        } else if (!columns && c >= area.top && c < area.bottom) {
          copy_block(window, area.left, c, scene, area.left, c, area.width(), 1);
        }
      }
      e.platform.present(area);
    }
    clock.end_step((s + 1) * step);
  }
}

void crossfade_pass(uint8_t* mixed, const uint8_t* from, const uint8_t* to, const Rect& area,
                    int parity, int32_t level) {
  for_each_run(area, [&](size_t offset, size_t pixels) {
    kernels::mix_constant(mixed + offset, from + offset, to + offset, pixels * 3, level, parity);
  });
}

void crossfade(Engine& e, int32_t duration, const Rect& area) {
  GraphicsState& g = e.graphics;
  uint8_t* mixed = bits(g.scratch);
  const uint8_t* from = bits(g.screen);
  const uint8_t* to = bits(g.scene);
  std::memcpy(mixed, from, kWindowBytes);
  StepClock clock(e);
  // A duration of 0 (or below) counts as 1 ms: the fade still ends.
  const Ramp ramp{std::max<int64_t>(duration, 1), 254};
  int parity = 1;
  for (int64_t level = 1;;) {
    crossfade_pass(mixed, from, to, area, parity, static_cast<int32_t>(level));
    show_area(e, mixed, area);
    parity ^= 1;
    pump_message(e);
    if (level >= 255) break;
    level = std::min<int64_t>(next_level(clock, ramp, level), 255);
  }
}

void scroll_in(Engine& e, int32_t type, int32_t duration) {
  const int64_t step = step_time(duration, 80);
  const uint8_t* scene = bits(e.graphics.scene);
  const Rect whole = kWindowRect;
  StepClock clock(e);
  for (int32_t s = 0; s < 80; ++s) {
    uint8_t* window = e.platform.window_pixels();
    switch (type) {
      case 11:
        e.platform.scroll_window(whole, 8, 0);
        copy_block(window, 0, 0, scene, 632 - 8 * s, 0, 8, kWindowHeight);
        break;
      case 12:
        e.platform.scroll_window(whole, -8, 0);
        copy_block(window, 632, 0, scene, 8 * s, 0, 8, kWindowHeight);
        break;
      case 13:
        e.platform.scroll_window(whole, 0, 6);
        copy_block(window, 0, 0, scene, 0, 474 - 6 * s, kWindowWidth, 6);
        break;
      default:
        e.platform.scroll_window(whole, 0, -6);
        copy_block(window, 0, 474, scene, 0, 6 * s, kWindowWidth, 6);
        break;
    }
    e.platform.present(whole);
    clock.end_step((s + 1) * step);
  }
}

void mask_wipe(Engine& e, int32_t duration, std::string_view mask_tag, const Rect& area) {
  GraphicsState& g = e.graphics;
  tile_mask(e, mask_tag);
  const uint8_t* mask = bits(g.scratch);
  uint8_t* screen = bits(g.screen);
  const uint8_t* scene = bits(g.scene);
  StepClock clock(e);
  const Ramp ramp{std::max<int64_t>(duration, 1), 254};
  // Each step reveals the pixels whose mask value the threshold has passed
  // since the step before.
  for (int64_t threshold = 1, previous = -1; threshold < 255;) {
    for_each_run(area, [&](size_t offset, size_t pixels) {
      kernels::reveal(screen + offset, scene + offset, mask + offset, pixels,
                      static_cast<int32_t>(previous), static_cast<int32_t>(threshold));
    });
    show_area(e, screen, area);
    pump_message(e);
    previous = threshold;
    threshold = next_level(clock, ramp, threshold);
  }
}

void fill_mosaic(uint8_t* to, const uint8_t* from, int32_t block) {
  const size_t block_bytes = static_cast<size_t>(block) * 3;
  for (int32_t top = 0; top < kWindowHeight; top += block) {
    const uint8_t* sample = from + pixel_offset(0, top + block - 1);
    uint8_t* first = to + pixel_offset(0, top);
    for (size_t x = 0; x < kWindowStride; x += block_bytes) {
      for (size_t i = 0; i < block_bytes; i += 3) std::memcpy(first + x + i, sample + x, 3);
    }
    for (int32_t y = top + 1; y < top + block; ++y) {
      std::memcpy(to + pixel_offset(0, y), first, kWindowStride);
    }
  }
}

void mosaic_out(Engine& e, int32_t duration) {
  GraphicsState& g = e.graphics;
  uint8_t* screen = bits(g.screen);
  uint8_t* old = bits(g.scratch);
  std::memcpy(old, screen, kWindowBytes);
  const int64_t step = step_time(duration, 10);
  const std::array<int32_t, 6> sizes = {5, 10, 20, 40, 80, 160};
  StepClock clock(e);
  for (size_t s = 0; s < sizes.size(); ++s) {
    fill_mosaic(screen, old, sizes[s]);
    show_whole(e, screen);
    clock.end_step(static_cast<int64_t>(s + 1) * step);
  }
}

void mosaic_in(Engine& e, int32_t duration) {
  GraphicsState& g = e.graphics;
  uint8_t* screen = bits(g.screen);
  const uint8_t* scene = bits(g.scene);
  const int64_t step = step_time(duration, 10);
  const std::array<int32_t, 6> sizes = {160, 80, 40, 20, 10, 5};
  StepClock clock(e);
  for (size_t s = 0; s < sizes.size(); ++s) {
    fill_mosaic(screen, scene, sizes[s]);
    show_whole(e, screen);
    clock.end_step(static_cast<int64_t>(s + 1) * step);
  }
}

void mask_crossfade(Engine& e, int32_t duration, std::string_view mask_tag, const Rect& area) {
  GraphicsState& g = e.graphics;
  tile_mask(e, mask_tag);
  // Each pixel's value (its first byte) in all three of its bytes: the
  // steps then work on the bytes as they lie.
  uint8_t* mask = bits(g.scratch);
  for (size_t i = 0; i < kWindowBytes; i += 3) mask[i + 1] = mask[i + 2] = mask[i];
  uint8_t* screen = bits(g.screen);
  const uint8_t* scene = bits(g.scene);
  const std::vector<uint8_t> old(screen, screen + kWindowBytes);
  StepClock clock(e);
  const Ramp ramp{std::max<int64_t>(duration, 1), 511};
  for (int64_t threshold = 1, previous = -1; threshold < 512;) {
    // Each pixel is the new picture mixed over the old one at
    // threshold - mask (held to 0..255): the level only grows, so a pixel
    // that has arrived stays the new picture's.
    for_each_run(area, [&](size_t offset, size_t pixels) {
      kernels::mask_fade(screen + offset, old.data() + offset, scene + offset, mask + offset,
                         pixels, static_cast<int32_t>(previous), static_cast<int32_t>(threshold));
    });
    show_area(e, screen, area);
    pump_message(e);
    previous = threshold;
    threshold = next_level(clock, ramp, threshold);
  }
}

}  // namespace vellumite::transitions
