// State of the graphics subsystem: the pictures that live for the whole run
// and the loader's settings.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

#include "graphics/buttons.h"
#include "graphics/effects.h"
#include "graphics/layers.h"
#include "graphics/picture.h"
#include "graphics/timed_wait.h"
#include "platform/platform.h"

namespace vellumite {

constexpr int kStandingCount = 3;  // 0 left, 1 centre, 2 right
constexpr int kSpriteCount = 256;
constexpr int kGlyphBufferSize = 128;

constexpr int kGaugeCount = 100;

// A gauge drawn by `bar`; free while x is -1.
struct Gauge {
  int32_t value = 0, x = -1, y = 0, w = 0, h = 0, max = 0;
  Colour colour;
};

// A three-digit number drawn by `prnum`; free while x is -1.
struct NumberDisplay {
  int32_t value = 0, x = -1, y = 0, a = 0, b = 0;
  Colour colour;
};

struct GraphicsState {
  // 640x480x24 each, made at start-up by create_screen_pictures.
  Picture screen;        // what the window shows
  Picture scene;         // where the layers are composed
  Picture background;    // the background layer (or the bgalia size)
  Picture scratch;       // work area for centring backgrounds and for effects
  Picture text_layer;    // the text window's colour layer
  Picture glyph_buffer;  // 128x128x24: characters are rendered here

  Picture window_picture;                   // setwindow's picture
  Picture button_source;                    // btndef's picture
  std::array<Picture, 2> click_cursors;     // 0 end of line, 1 end of page
  std::array<Picture, 4> lookback_buttons;  // up on, up off, down on, down off

  std::array<Gauge, kGaugeCount> bars;
  std::array<NumberDisplay, kGaugeCount> numbers;

  LayerState layers;
  EffectState effects;
  ButtonState buttons;  // btn's table
  TimerState timer;     // resettimer / waittimer / gettimer

  // The mode a tag without a mode letter gets; set by `transmode`.
  int32_t default_trans_mode = kTransLeftup;
  // Set only while the engine loads its own cursor and button pictures: a
  // missing file then gives a 1x1 black picture instead of none.
  bool placeholder_on_missing = false;
};

// Gives screen, scene, background, scratch and text_layer black 640x480
// 24-bit surfaces and glyph_buffer a black 128x128 one.
inline void create_screen_pictures(GraphicsState& g) {
  for (Picture* p : {&g.screen, &g.scene, &g.background, &g.scratch, &g.text_layer}) {
    create_blank(*p, kWindowWidth, kWindowHeight, 24);
  }
  create_blank(g.glyph_buffer, kGlyphBufferSize, kGlyphBufferSize, 24);
}

}  // namespace vellumite
