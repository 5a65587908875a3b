// What composing the scene costs: a full-screen refresh of a typical scene
// (a 640x480 background, three 200x400 standing pictures with alpha masks,
// ten 100x100 leftup sprites, two of them half transparent), its parts, and
// a plain copy of one 640x480 frame to compare it with.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "frame_copies.h"
#include "game/engine.h"
#include "game/graphics/layers.h"
#include "game/text/text_window.h"
#include "graphics/compositor.h"
#include "graphics/graphics_state.h"
#include "platform/headless/headless_platform.h"

namespace {

using namespace vellumite;

PlatformOptions quiet() {
  PlatformOptions o;
  o.quiet = true;
  return o;
}

void put(Picture& p, int x, int y, int b, int g, int r) {
  uint8_t* px = p.surface.row(y) + static_cast<size_t>(x) * 3;
  px[0] = static_cast<uint8_t>(b);
  px[1] = static_cast<uint8_t>(g);
  px[2] = static_cast<uint8_t>(r);
}

// A 200x400 character in alpha mode: the colour half on the left, the mask
// on the right. The figure is an ellipse with a soft 6-pixel edge: opaque
// inside, transparent outside, blended on the edge. `grey` instead gives a
// mask of mid-grey everywhere, where every pixel blends.
void make_standing(Picture& p, bool grey) {
  create_blank(p, 400, 400, 24);
  p.trans_mode = kTransAlpha;
  for (int y = 0; y < 400; ++y) {
    for (int x = 0; x < 200; ++x) {
      put(p, x, y, (x * 7) & 0xFF, (y * 3) & 0xFF, (x + y) & 0xFF);
      const double dx = (x - 100) / 90.0, dy = (y - 210) / 190.0;
      const double outside = (std::sqrt(dx * dx + dy * dy) - 1.0) * 90.0;  // pixels
      int m = outside <= -6 ? 0 : outside >= 0 ? 255 : static_cast<int>((outside + 6) * 42.5);
      if (grey) m = 128;
      put(p, 200 + x, y, m, m, m);
    }
  }
}

// A 100x100 leftup sprite: a disc on the key colour of the top-left pixel.
void make_sprite(Picture& p) {
  create_blank(p, 100, 100, 24);
  p.trans_mode = kTransLeftup;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x) {
      const int dx = x - 50, dy = y - 50;
      if (dx * dx + dy * dy < 45 * 45) {
        put(p, x, y, x * 2, y * 2, 128);
      } else {
        put(p, x, y, 255, 0, 255);
      }
    }
  }
}

struct SceneFixture {
  explicit SceneFixture(bool grey_masks) : platform(quiet()), e(platform) {
    GraphicsState& g = e.graphics;
    create_screen_pictures(g);
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) put(g.background, x, y, x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
    for (int s = 0; s < 3; ++s) {
      make_standing(g.layers.standing[static_cast<size_t>(s)].picture, grey_masks);
      StandingSlot& slot = g.layers.standing[static_cast<size_t>(s)];
      slot.name = "c.bmp";
      slot.x = 60 + 160 * s;
      slot.y = 80;
    }
    // Five sprites behind the standing pictures, five in front.
    const int numbers[10] = {200, 201, 202, 203, 204, 0, 1, 2, 3, 4};
    for (int i = 0; i < 10; ++i) {
      const size_t n = static_cast<size_t>(numbers[i]);
      make_sprite(g.layers.sprites[n].picture);
      SpriteSlot& slot = g.layers.sprites[n];
      slot.name = "s.bmp";
      slot.visible = 1;
      slot.x = 20 + 60 * i;
      slot.y = 40 + 30 * (i % 5);
    }
    g.layers.sprites[1].picture.alpha = 128;
    g.layers.sprites[202].picture.alpha = 128;
  }
  HeadlessPlatform platform;
  Engine e;
};

// Times `step` on the fixture's scene, a frame's bytes per iteration.
template <typename Step>
void time_scene(benchmark::State& state, SceneFixture& f, Step step) {
  const FrameCopies copies;
  for (auto _ : state) {
    step();
    benchmark::DoNotOptimize(f.e.graphics.scene.surface.bits.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWindowBytes);
  copies.report(state);
}

// Times full refreshes of the fixture's scene.
void time_refresh(benchmark::State& state, SceneFixture& f) {
  time_scene(state, f, [&] { refresh_scene(f.e, nullptr); });
}

void BM_RefreshFullScene(benchmark::State& state) {
  SceneFixture f(state.range(0) != 0);
  time_refresh(state, f);
}
// 0: masks with an opaque body and soft edges; 1: every mask pixel mid-grey.
BENCHMARK(BM_RefreshFullScene)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The full refresh with the text window in the scene: the default tint over
// the whole screen and a dense page of text (three rows of cells in every
// four hold characters, about 40 % of their pixels covered, with soft
// edges; white text, shadow on).
void show_text_page(Engine& e) {
  TextState& t = e.text;
  t.window.window_in_scene = true;
  t.window.window_shown = true;
  Surface& layer = e.graphics.text_layer.surface;
  for (int y = 0; y < 480; ++y) {
    if ((y / 26) % 4 == 3) continue;
    for (int x = 0; x < 626; ++x) {
      const int a = ((x * 37 + y * 11) % 97) < 40 ? ((x * 7 + y * 13) & 0xFF) : 0;
      t.text_alpha[static_cast<size_t>(y) * 640 + static_cast<size_t>(x)] = static_cast<uint8_t>(a);
      std::memset(layer.row(y) + static_cast<size_t>(x) * 3, a, 3);
    }
  }
}

void BM_RefreshWithTextWindow(benchmark::State& state) {
  SceneFixture f(state.range(0) != 0);
  show_text_page(f.e);
  time_refresh(state, f);
}
BENCHMARK(BM_RefreshWithTextWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What a page clear adds to the refresh under the window: the default tint
// drawn over a full-screen window.
void BM_PageClearTint(benchmark::State& state) {
  SceneFixture f(false);
  time_scene(state, f, [&] { draw_window_background(f.e, 0, 0, 639, 479, f.e.graphics.scene); });
}
BENCHMARK(BM_PageClearTint)->Unit(benchmark::kMicrosecond);

// The text window's own pass over the whole screen (tint, shadow and text
// of show_text_page), without the scene under it.
void BM_TextWindowPass(benchmark::State& state) {
  SceneFixture f(false);
  show_text_page(f.e);
  time_scene(state, f, [&] { recompose_text(f.e, nullptr); });
}
BENCHMARK(BM_TextWindowPass)->Unit(benchmark::kMicrosecond);

// The colour filters on the whole screen: nega 1, monocro, nega 2.
void BM_RefreshWithFilters(benchmark::State& state) {
  SceneFixture f(false);
  LayerState& layers = f.e.graphics.layers;
  layers.nega_mode = static_cast<int32_t>(state.range(0));
  layers.monocro_on = true;
  layers.monocro_colour = Colour{255, 200, 120};
  time_refresh(state, f);
}
BENCHMARK(BM_RefreshWithFilters)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// One 200x400 standing picture with its soft-edged mask, opaque or at 128.
void BM_DrawAlphaStanding(benchmark::State& state) {
  SceneFixture f(false);
  Picture& p = f.e.graphics.layers.standing[1].picture;
  p.alpha = static_cast<int32_t>(state.range(0));
  const FrameCopies copies;
  for (auto _ : state) {
    draw_picture(p, f.e.graphics.scene, nullptr, 220, 80);
    benchmark::ClobberMemory();
  }
  copies.report(state);
}
BENCHMARK(BM_DrawAlphaStanding)->Arg(-1)->Arg(128)->Unit(benchmark::kMicrosecond);

// One 100x100 leftup sprite, opaque or at 128.
void BM_DrawLeftupSprite(benchmark::State& state) {
  SceneFixture f(false);
  Picture& p = f.e.graphics.layers.sprites[0].picture;
  p.alpha = static_cast<int32_t>(state.range(0));
  const FrameCopies copies;
  for (auto _ : state) {
    draw_picture(p, f.e.graphics.scene, nullptr, 270, 190);
    benchmark::ClobberMemory();
  }
  copies.report(state);
}
BENCHMARK(BM_DrawLeftupSprite)->Arg(-1)->Arg(128)->Unit(benchmark::kMicrosecond);

// The floor: one 640x480x24 frame (921,600 bytes) copied with memcpy.
void BM_FrameMemcpy(benchmark::State& state) {
  std::vector<uint8_t> from(kWindowBytes, 7), to(kWindowBytes);
  const FrameCopies copies;
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kWindowBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWindowBytes);
  copies.report(state);
}
BENCHMARK(BM_FrameMemcpy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
