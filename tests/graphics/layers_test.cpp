// The dirty region, the refresh (layer order, humanz, colour filters, the
// bgalia area), the cell animation and the picture part of a reset, on an
// engine driven directly.
#include "game/graphics/layers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "game/engine.h"
#include "graphics/graphics_state.h"
#include "platform/headless/headless_platform.h"
#include "support/game_runner.h"

namespace vellumite {
namespace {

using Bgr = std::array<int, 3>;

const Bgr kBlack{0, 0, 0};
const Bgr kWhite{255, 255, 255};

Colour colour_word(Bgr c) {
  return {static_cast<uint8_t>(c[2]), static_cast<uint8_t>(c[1]), static_cast<uint8_t>(c[0])};
}

Bgr at(const Picture& p, int x, int y) {
  const uint8_t* px = p.surface.row(y) + static_cast<size_t>(x) * 3;
  return {px[0], px[1], px[2]};
}

PlatformOptions quiet() {
  PlatformOptions o;
  o.quiet = true;
  return o;
}

// An engine with its screen pictures, in a game folder of its own.
class Layers : public ::testing::Test {
 protected:
  Layers() : platform_(quiet()), e_(platform_) { create_screen_pictures(e_.graphics); }

  GraphicsState& g() { return e_.graphics; }
  LayerState& layers() { return e_.graphics.layers; }

  void background(Bgr c) { fill_picture(g().background, 0, 0, 640, 480, colour_word(c)); }

  // An opaque one-colour picture in a sprite (or standing picture) slot.
  Picture& sprite(int n, int x, int y, int w, int h, Bgr c, bool standing = false) {
    const auto i = static_cast<size_t>(n);
    Picture* p = nullptr;
    if (standing) {
      StandingSlot& slot = layers().standing[i];
      slot.name = "t", slot.x = x, slot.y = y;
      p = &slot.picture;
    } else {
      SpriteSlot& slot = layers().sprites[i];
      slot.name = "s", slot.visible = 1, slot.x = x, slot.y = y;
      p = &slot.picture;
    }
    create_blank(*p, w, h, 24);
    fill_picture(*p, 0, 0, w, h, colour_word(c));
    p->trans_mode = kTransCopy;
    return *p;
  }
  Picture& standing(int n, int x, int y, int w, int h, Bgr c) {
    return sprite(n, x, y, w, h, c, true);
  }
  Bgr scene(int x, int y) { return at(g().scene, x, y); }
  // Expects each (x, y) of the scene to hold its colour.
  void expect_scene(std::initializer_list<std::tuple<int, int, Bgr>> want) {
    for (const auto& [x, y, c] : want) EXPECT_EQ(scene(x, y), c) << x << "," << y;
  }
  void refresh() { refresh_scene(e_, nullptr); }
  // The cell of `p` after `ms` more and an animation scan.
  int32_t cell_after(uint32_t ms, const Picture& p) {
    platform_.sleep(ms);
    animate_layers(e_);
    return p.cell;
  }

  testing::GameDir dir_;
  testing::InDir in_dir_{dir_};
  HeadlessPlatform platform_;
  Engine e_;
};

TEST_F(Layers, MarkDirtyKeepsPartsAndClips) {
  mark_dirty(e_, Rect::inclusive(-5, -5, 700, 500));
  EXPECT_EQ(layers().dirty.bounds(), (Rect{0, 0, 640, 480}));
  layers().dirty.clear();
  mark_dirty(e_, Rect::inclusive(10, 20, 30, 40));
  mark_dirty(e_, Rect::inclusive(5, 50, 20, 60));
  EXPECT_EQ(layers().dirty.bounds(), (Rect{5, 20, 31, 61}));
  EXPECT_EQ(layers().dirty.parts().size(), 2u);
  mark_dirty(e_, Rect::inclusive(15, 35, 16, 55));  // meets both: one part
  EXPECT_EQ(layers().dirty.parts().size(), 1u);
}

TEST_F(Layers, RefreshDrawsInLayerOrderAroundHumanz) {
  const Bgr bg{1, 1, 1}, s0{0, 0, 200}, s1{0, 200, 0}, s127{200, 0, 0}, s128{50, 50, 50},
      st{9, 99, 199};
  background(bg);
  sprite(128, 0, 0, 50, 50, s128);
  standing(0, 10, 10, 50, 50, st);
  sprite(127, 20, 20, 50, 50, s127);
  sprite(1, 100, 100, 10, 10, s1);
  sprite(0, 105, 105, 10, 10, s0);
  standing(2, 90, 90, 40, 40, st);

  refresh();  // humanz 127: sprite 128 behind, 127 in front, 0 topmost
  expect_scene(
      {{5, 5, s128}, {15, 15, st}, {25, 25, s127}, {102, 102, s1}, {107, 107, s0}, {200, 200, bg}});

  layers().humanz = 255;  // every sprite in front
  refresh();
  EXPECT_EQ(scene(15, 15), s128);
  layers().humanz = 0;  // only sprite 0 in front
  refresh();
  expect_scene({{25, 25, st}, {102, 102, st}, {107, 107, s0}});

  // Hidden and removed sprites are not drawn; under mode_saya a refresh
  // made while the window hides leaves out sprites 0..9 only.
  layers().humanz = 127;
  layers().sprites[127].visible = 0;
  layers().standing[0].name.clear();
  refresh();
  EXPECT_EQ(scene(25, 25), s128);
  layers().mode_saya_on = true;
  layers().hiding_window = true;
  sprite(10, 300, 300, 5, 5, s1);
  refresh();
  expect_scene({{107, 107, st}, {301, 301, s1}});
  layers().hiding_window = false;
  refresh();
  EXPECT_EQ(scene(107, 107), s0);
}

TEST_F(Layers, RefreshStaysInsideItsRectangle) {
  background({7, 8, 9});
  refresh();
  background(kWhite);
  sprite(3, 0, 0, 640, 480, {0, 0, 255});
  layers().nega_mode = 1;
  Rect r{100, 100, 200, 150};
  refresh_scene(e_, &r);
  expect_scene({{100, 100, Bgr{255, 255, 0}}, {199, 149, Bgr{255, 255, 0}}});
  const Bgr old{7, 8, 9};
  expect_scene({{99, 100, old}, {200, 100, old}, {100, 99, old}, {100, 150, old}});
  // A rectangle beyond the screen is clipped to it.
  r = Rect{-20, -20, 5000, 5000};
  refresh_scene(e_, &r);
  EXPECT_EQ(scene(639, 479), (Bgr{255, 255, 0}));
}

TEST_F(Layers, ColourFiltersInTheirOrder) {
  background(kWhite);
  layers().monocro_on = true;
  layers().monocro_colour = {255, 0, 0};
  layers().nega_mode = 1;  // inverted first, then tinted: black
  refresh();
  expect_scene({{0, 0, kBlack}, {639, 479, kBlack}});
  layers().nega_mode = 2;  // tinted red, then inverted: cyan
  refresh();
  EXPECT_EQ(scene(320, 240), (Bgr{255, 255, 0}));

  // The tint weighs the integer mean of the three channels; the same on the
  // whole screen and in a partial rectangle.
  layers().nega_mode = 0;
  layers().monocro_colour = {255, 128, 0};
  background({30, 60, 91});  // mean 60
  refresh();
  const Bgr tinted{0, 30, 60};  // 60 * 128 / 255
  EXPECT_EQ(scene(5, 5), tinted);
  Rect r{1, 1, 3, 3};
  refresh_scene(e_, &r);
  EXPECT_EQ(scene(2, 2), tinted);
  // Filters off: plain.
  layers().monocro_on = false;
  layers().nega_mode = 3;  // no such mode: nothing is inverted
  refresh();
  EXPECT_EQ(scene(5, 5), (Bgr{30, 60, 91}));
}

TEST_F(Layers, BackgroundAreaLeavesTheRestBlack) {
  layers().bg_area_x = 100;
  layers().bg_area_y = 50;
  layers().bg_area_w = 320;
  layers().bg_area_h = 240;
  create_blank(g().background, 320, 240, 24);
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x)
      fill_picture(g().background, x, y, x + 1, y + 1,
                   {77, static_cast<uint8_t>(y), static_cast<uint8_t>(x)});
  }
  fill_picture(g().scene, 0, 0, 640, 480, {255, 255, 255});
  refresh();
  expect_scene(
      {{100, 50, Bgr{0, 0, 77}}, {419, 289, Bgr{319 & 0xFF, 239, 77}}, {150, 60, Bgr{50, 10, 77}}});
  for (auto [x, y] : {std::pair{99, 50}, {420, 289}, {100, 290}, {100, 49}, {0, 0}})
    EXPECT_EQ(scene(x, y), kBlack) << x << "," << y;

  // An area larger than the picture: beyond the picture stays black too.
  layers().bg_area_w = 640;
  layers().bg_area_h = 480;
  refresh();
  expect_scene({{419, 289, Bgr{319 & 0xFF, 239, 77}}, {420, 100, kBlack}, {200, 290, kBlack}});
}

TEST_F(Layers, AnimationLoopModes) {
  // A 3-cell sprite, 100 ms per cell; the cells are red, green and blue.
  auto make = [&](int32_t loop) {
    Picture& p = sprite(0, 0, 0, 30, 10, kBlack);
    for (int c = 0; c < 3; ++c) {
      Bgr colour{c == 2 ? 255 : 0, c == 1 ? 255 : 0, c == 0 ? 255 : 0};
      fill_picture(p, 10 * c, 0, 10 * c + 10, 10, colour_word(colour));
    }
    std::tie(p.cell, p.anim_step, p.cells, p.interval, p.loop_mode) =
        std::tuple(0, 1, 3, 100, loop);
    p.anim_time = platform_.ticks();
    return &p;
  };
  auto cells_over_time = [&](Picture* p) {
    std::vector<int32_t> seen;
    for (int i = 0; i < 6; ++i) seen.push_back(cell_after(101, *p));
    return seen;
  };
  Picture* p = make(kLoopRestart);
  // Not yet due at exactly the interval.
  EXPECT_EQ(cell_after(100, *p), 0);
  p->anim_time = platform_.ticks();
  EXPECT_EQ(cells_over_time(p), (std::vector<int32_t>{1, 2, 0, 1, 2, 0}));
  // The change reached the screen and the window through the plain copy.
  EXPECT_EQ(at(g().screen, 5, 5), (Bgr{0, 0, 255}));
  EXPECT_TRUE(layers().dirty.empty());
  const uint8_t* window = platform_.window_pixels() + 479 * 1920 + 15;
  EXPECT_EQ(window[2], 255);

  p = make(kLoopReverse);
  EXPECT_EQ(cells_over_time(p), (std::vector<int32_t>{1, 2, 1, 0, 1, 2}));

  // Loop mode 1 stops on the last cell and is not redrawn again.
  p = make(kLoopStop);
  EXPECT_EQ(cells_over_time(p), (std::vector<int32_t>{1, 2, 2, 2, 2, 2}));
  const uint32_t last_change = p->anim_time;
  const uint64_t presents = platform_.presents();
  cell_after(500, *p);
  EXPECT_EQ(p->anim_time, last_change);
  EXPECT_EQ(platform_.presents(), presents);
  EXPECT_TRUE(layers().dirty.empty());

  // Per-cell times; hidden sprites and one-cell pictures stay still; the
  // standing pictures animate too.
  p = make(kLoopRestart);
  p->interval = -1;
  p->cell_intervals = {50, 300, 50};
  EXPECT_EQ(cell_after(60, *p), 1);
  EXPECT_EQ(cell_after(200, *p), 1);
  layers().sprites[0].visible = 0;
  EXPECT_EQ(cell_after(400, *p), 1);
  Picture& s = standing(1, 0, 0, 20, 5, kWhite);
  s.cells = 2;
  s.interval = 10;
  s.anim_time = platform_.ticks();
  EXPECT_EQ(cell_after(20, s), 1);
}

TEST_F(Layers, AnimationGivesWayToWaitingInput) {
  Picture& p = sprite(4, 0, 0, 20, 10, kWhite);
  p.cells = 2;
  p.interval = 10;
  platform_.sleep(50);
  platform_.post_message(Message{MessageKind::Timer, 0, 0, 1});
  animate_layers(e_);  // a timer message does not stop the scan
  EXPECT_EQ(p.cell, 1);
  platform_.take_message(MessageKind::Timer);
  platform_.sleep(50);
  platform_.post_message(Message{MessageKind::LButtonDown, 1, 1, 0});
  animate_layers(e_);
  EXPECT_EQ(p.cell, 1);
  platform_.take_message(MessageKind::LButtonDown);
  animate_layers(e_);
  EXPECT_EQ(p.cell, 0);
}

TEST_F(Layers, ResetPicturesEmptiesTheScene) {
  background(kWhite);
  fill_picture(g().screen, 0, 0, 640, 480, {255, 255, 255});
  std::memset(platform_.window_pixels(), 0xFF, kWindowBytes);
  Picture& s = sprite(9, 30, 40, 10, 10, kWhite);
  s.alpha = 77;
  standing(1, 5, 5, 10, 10, kWhite);
  layers().background_name = "bg.bmp";
  layers().humanz = 50;
  layers().bg_area_x = 3;
  layers().monocro_on = true;
  layers().nega_mode = 2;
  layers().dirty.add(Rect{1, 2, 4, 5});
  g().default_trans_mode = kTransAlpha;

  reset_pictures(e_);
  const SpriteSlot& slot = layers().sprites[9];
  EXPECT_EQ(std::tie(slot.name, slot.x, slot.y, slot.visible), std::tuple("", 0, 0, 1));
  EXPECT_EQ(s.alpha, 77);  // kept, the picture goes
  EXPECT_TRUE(s.empty());
  EXPECT_TRUE(layers().standing[1].name.empty());
  EXPECT_EQ(layers().background_name, "black");
  // Kept: humanz, the background area, the default mode; the filters go.
  EXPECT_EQ(std::tie(layers().humanz, layers().bg_area_x, g().default_trans_mode,
                     layers().monocro_on, layers().nega_mode),
            std::tuple(50, 3, kTransAlpha, false, 0));
  EXPECT_TRUE(layers().dirty.empty());
  EXPECT_EQ(at(g().screen, 320, 240), kBlack);
  EXPECT_EQ(at(g().background, 639, 479), kBlack);
  EXPECT_EQ(platform_.window_pixels()[kWindowBytes / 2], 0);
  // The missing cursor files become placeholders, with their tags applied;
  // the loader's flag is back off afterwards.
  for (const Picture& c : g().click_cursors) {
    EXPECT_FALSE(c.empty());
    EXPECT_EQ(std::tie(c.cells, c.interval, c.loop_mode), std::tuple(3, 160, kLoopReverse));
  }
  EXPECT_FALSE(g().placeholder_on_missing);
}

}  // namespace
}  // namespace vellumite
