// The layers the scene is composed from (background, standing pictures,
// sprites, colour filters), the dirty region, and the refresh that
// composes `scene` from them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "base/colour.h"
#include "graphics/dirty_region.h"
#include "graphics/picture.h"
#include "platform/platform.h"

namespace vellumite {

struct Engine;

// Scenario numbers are arbitrary 32-bit values; positions computed from them
// are taken in 64 bits and kept within 32.
inline int32_t saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The part on the screen of a rectangle given by its corners both included
// (the scenario's coordinates), computed in 64 bits.
inline Rect clip_to_screen(int64_t left, int64_t top, int64_t last_x, int64_t last_y) {
  return intersect(Rect::inclusive(left, top, last_x, last_y), kWindowRect);
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
  DirtyRegion dirty;  // what waits to be recomposed and shown
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

}  // namespace vellumite
