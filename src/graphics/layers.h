// The layers the scene is composed from (background, standing pictures,
// sprites, colour filters), the dirty rectangle, and the refresh that
// composes `scene` from them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "base/colour.h"
#include "graphics/picture.h"
#include "platform/platform.h"

namespace vellumite {

struct Engine;

// A rectangle of the screen, inclusive on all four sides.
struct ClipRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// Scenario numbers are arbitrary 32-bit values; positions computed from them
// are taken in 64 bits and kept within 32.
inline int32_t saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// A rectangle computed in 64 bits, clipped to the screen.
inline ClipRect clip_to_screen(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  return ClipRect{saturate(std::max<int64_t>(left, 0)), saturate(std::max<int64_t>(top, 0)),
                  saturate(std::min<int64_t>(right, kWindowWidth - 1)),
                  saturate(std::min<int64_t>(bottom, kWindowHeight - 1))};
}

struct StandingSlot {
  std::string name;  // empty: no standing picture here
  int32_t x = 0;
  int32_t y = 0;
  Picture picture;
};

struct SpriteSlot {
  std::string name;  // empty: the sprite does not exist
  int32_t visible = 0;
  int32_t x = 0;
  int32_t y = 0;
  Picture picture;
};

// Horizontal centres of the left, centre and right standing pictures.
constexpr std::array<int32_t, 3> kStandingCenterX = {160, 320, 480};

struct LayerState {
  ClipRect dirty_rect;  // empty while all four are 0
  int32_t humanz = 127;
  int32_t bg_area_x = -1;  // -1: the background covers the whole screen
  int32_t bg_area_y = 0;
  int32_t bg_area_w = 0;
  int32_t bg_area_h = 0;
  int32_t nega_mode = 0;
  bool monocro_on = false;
  Colour monocro_colour;
  bool mode_saya_on = false;
  bool hiding_window = false;

  std::string background_name;
  std::array<StandingSlot, 3> standing;
  std::array<SpriteSlot, 256> sprites;
  int32_t underline = 480;
};

inline bool dirty_empty(const ClipRect& r) {
  return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

}  // namespace vellumite
