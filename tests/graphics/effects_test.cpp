// Transition effects: end state, length and drawing order of the transition
// types, the effect table and its commands, the errors. A transition is seen
// half-way by letting the headless clock time out during it.
#include "game/graphics/effects.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/engine.h"
#include "game/graphics/transitions.h"
#include "game/shell/window_proc.h"
#include "graphics/bmp.h"
#include "platform/headless/headless_platform.h"
#include "support/game_runner.h"

namespace vellumite {
namespace {

using transitions::pixel_offset;

// Two pictures without any period: hashes of the byte offset.
uint8_t hash_byte(size_t i, uint32_t k) { return static_cast<uint8_t>((i * k) >> 24 & 0xFF); }

const Rect kRect{100, 50, 196, 114};
const Rect kWhole{0, 0, 640, 480};

bool inside(const Rect& r, int x, int y) { return r.contains(x, y); }
bool same(const uint8_t* a, const uint8_t* b) { return std::equal(a, a + 3, b); }

// Screen and window hold the old picture, scene the new one.
class Transition : public ::testing::Test {
 protected:
  Transition() { start(); }
  // A fresh engine whose clock ends the program after `timeout_ms`.
  void start(uint32_t timeout_ms = 3'600'000) {
    e_.reset();
    PlatformOptions o;
    o.quiet = true;
    o.trace = &trace_;
    o.timeout_ms = timeout_ms;
    platform_ = std::make_unique<HeadlessPlatform>(o);
    e_ = std::make_unique<Engine>(*platform_);
    create_screen_pictures(e_->graphics);
    reset_effect_table(e_->graphics.effects);
    for (size_t i = 0; i < kWindowBytes; ++i) {
      screen()[i] = window()[i] = old_[i] = hash_byte(i, 0x85EBCA6Bu);
      scene()[i] = hash_byte(i, 0x9E3779B1u);
    }
  }
  uint8_t* screen() { return e_->graphics.screen.surface.bits.data(); }
  uint8_t* scene() { return e_->graphics.scene.surface.bits.data(); }
  uint8_t* window() { return platform_->window_pixels(); }
  // Runs a transition; the virtual ms from its trace line to its end (or to
  // the time-out), -1 when it wrote none.
  int64_t run(int type, int duration, const Rect* rect = &kRect, std::string_view mask = "") {
    trace_.str("");
    try {
      run_effect(*e_, type, duration, mask, rect);
    } catch (const ProgramExit&) {
    }
    std::string line = trace_.str();
    return line.empty() ? -1 : int64_t{platform_->ticks()} - std::stoll(line);
  }
  // The number of pixels for which ok(x, y, byte offset) is false.
  template <typename Ok>
  static int failures(Ok ok) {
    int bad = 0;
    for (int y = 0; y < kWindowHeight; ++y) {
      for (int x = 0; x < kWindowWidth; ++x) bad += ok(x, y, pixel_offset(x, y)) ? 0 : 1;
    }
    return bad;
  }
  // `buffer` shows the new picture inside `r` and the old one outside.
  int errors(const uint8_t* buffer, const Rect& r) {
    return failures([&](int x, int y, size_t o) {
      return same(buffer + o, (inside(r, x, y) ? scene() : old_.data()) + o);
    });
  }

  std::vector<uint8_t> old_ = std::vector<uint8_t>(kWindowBytes);
  std::ostringstream trace_;
  std::unique_ptr<HeadlessPlatform> platform_;
  std::unique_ptr<Engine> e_;
};

TEST_F(Transition, EveryTypeEndsWithTheSceneInsideTheRectangleOnly) {
  for (int type = 1; type <= 18; ++type) {
    if (type == 16) continue;
    SCOPED_TRACE("type " + std::to_string(type));
    start();
    e_->graphics.layers.dirty.add(kRect);
    EXPECT_GE(run(type, 160), 0);
    const Rect& r = type == 17 ? kWhole : kRect;
    EXPECT_EQ(errors(screen(), r), 0);
    // The scrolls bring the whole scene into the window.
    EXPECT_EQ(errors(window(), type >= 11 && type <= 14 ? kWhole : r), 0);
    EXPECT_TRUE(e_->graphics.layers.dirty.empty());
  }
  // Rectangles partly or wholly off the screen are clipped.
  const Rect off{-20, -20, 901, 701}, inverted{300, 300, 11, 11};
  EXPECT_GE(run(10, 30, &off) + run(15, 30, &inverted), 0);
  EXPECT_EQ(errors(window(), kWhole), 0);
}

TEST_F(Transition, DurationsInVirtualTime) {
  // {type, duration, ms with the 30 ms pause, ms at duration 0}: without a
  // duration only the 1 ms that each step's empty message queue costs.
  const int cases[][4] = {{1, 500, 0, 0},       {2, 1600, 1630, 46}, {5, 1600, 1630, 46},
                          {6, 960, 1010, 79},   {7, 960, 1010, 79},  {8, 840, 890, 73},
                          {9, 840, 890, 73},    {11, 800, 830, 110}, {14, 800, 830, 110},
                          {16, 1000, 630, 36},  {17, 1000, 630, 36}, {10, 1000, 1030, 32},
                          {15, 1000, 1030, 31}, {18, 1000, 1030, 31}};
  for (const auto& c : cases) {
    const bool ramp = c[0] == 10 || c[0] == 15 || c[0] == 18;
    EXPECT_NEAR(run(c[0], c[1]), c[2], ramp ? c[2] / 50 : 0) << "type " << c[0];
    EXPECT_EQ(run(c[0], 0), c[3]) << "type " << c[0];
  }
  EXPECT_NE(trace_.str().find(" effect 18 0 100,50,195,113\n"), std::string::npos);
  e_->graphics.effects.effect_blank = -5;  // no pause at all
  EXPECT_EQ(run(10, -100), 2);
}

TEST_F(Transition, TypeZeroDefersAndMosaicOutStaysDirty) {
  e_->graphics.layers.dirty.add(kRect);
  EXPECT_EQ(run(0, 1000), -1);
  EXPECT_EQ(e_->graphics.layers.dirty.bounds(), kRect);
  EXPECT_EQ(platform_->presents(), 0u);
  // Mosaic out: 160-pixel blocks of the old screen, each the colour of its
  // bottom-left pixel, and the whole screen to be recomposed.
  run(16, 100);
  EXPECT_EQ(e_->graphics.layers.dirty.bounds(), kWhole);
  EXPECT_EQ(0, failures([&](int x, int y, size_t o) {
              const uint8_t* block = old_.data() + pixel_offset(x / 160 * 160, y / 160 * 160 + 159);
              return same(screen() + o, block) && same(window() + o, block);
            }));
  run(17, 100);
  EXPECT_EQ(errors(window(), kWhole), 0);
}

TEST_F(Transition, FirstStepsAndMessages) {
  // The window after the first step: a pointer to the pixel expected there.
  using Expect = std::function<const uint8_t*(int x, int y, size_t o)>;
  auto drawn = [&](const Rect& r, std::function<bool(int, int)> on) -> Expect {
    return [&, r, on](int x, int y, size_t o) {
      return (inside(r, x, y) && on(x, y) ? scene() : old_.data()) + o;
    };
  };
  const std::pair<int, Expect>
      cases[] = {{2, drawn(kRect, [](int x, int) { return (x - 100) % 16 == 0; })},
                 {3, drawn(kRect, [](int x, int) { return (x - 100) % 16 == 15; })},
                 {5, drawn(kRect, [](int, int y) { return (y - 50) % 16 == 15; })},
                 {6, drawn(kWhole, [](int x, int) { return x == 0; })},
                 {8, drawn(kWhole, [](int, int y) { return y == 0; })},
                 {11,
                  [&](int x, int y, size_t) {  // scrolled 8 right, scene's x 632 .. 639 at the left
                    return x < 8 ? scene() + pixel_offset(632 + x, y)
                                 : old_.data() + pixel_offset(x - 8, y);
                  }},
                 {14, [&](int x, int y, size_t) {  // scrolled 6 up, scene's y 0 .. 5 at the bottom
                    return y >= 474 ? scene() + pixel_offset(x, y - 474)
                                    : old_.data() + pixel_offset(x, y + 6);
                  }}};
  for (const auto& [type, expected] : cases) {
    start(1);  // the first step's empty message queue ends the program
    run(type, 1000, type == 6 || type == 8 ? nullptr : &kRect);
    EXPECT_EQ(
        0, failures([&](int x, int y, size_t o) { return same(window() + o, expected(x, y, o)); }))
        << "type " << type;
  }
  // The crossfade's first step blends the odd bytes of each row at level 1.
  start(1);
  run(10, 1000);
  int wrong = 0;
  for (int y = kRect.top; y < kRect.bottom; ++y) {
    for (size_t j = 0, o = pixel_offset(kRect.left, y); j < 96 * 3; ++j, ++o) {
      wrong += window()[o] != (j % 2 == 0 ? old_[o] : old_[o] * 254 / 255 + scene()[o] / 255);
    }
  }
  EXPECT_EQ(wrong, 0);
  // A click during a transition reaches the window procedure; the
  // transition still runs to its end.
  start();
  platform_->post_message(Message{MessageKind::LButtonUp, 5, 6, 0});
  EXPECT_EQ(run(2, 160), 190);
  EXPECT_TRUE(e_->shell.clicked_flag);
}

TEST_F(Transition, MaskWipesRevealDarkPartsFirst) {
  testing::GameDir dir;
  testing::InDir in_dir(dir);
  Surface s;  // a 64-pixel gradient from black to white, tiled
  create_blank(s, 64, 1, 24);
  for (int x = 0; x < 64; ++x) std::fill_n(s.row(0) + x * 3, 3, static_cast<uint8_t>(x * 4));
  dir.write_bytes("grad.bmp", encode_bmp(s));
  // {type, stop at ms of 200, mask value m -> ok(is old, is new)}
  using Ok = std::function<bool(int, bool, bool)>;
  const std::tuple<int, uint32_t, Ok> checks[] = {
      // Hard edge: the threshold is about 129 half-way.
      {15, 100, [](int m, bool o, bool n) { return m <= 120 ? n : m < 136 || o; }},
      // Soft band, threshold 129 at a quarter: dark pixels are blending.
      {18, 50, [](int m, bool o, bool n) { return m <= 80 ? !o && !n : m < 136 || o; }},
      // At three quarters (385) the dark half is done, the rest blends.
      {18, 150, [](int m, bool o, bool n) { return m <= 120 ? n : !o; }}};
  for (const auto& [type, stop, ok] : checks) {
    start(stop);
    run(type, 200, &kRect, "grad.bmp");
    EXPECT_LT(failures([&](int x, int y, size_t o) {
                if (!inside(kRect, x, y)) return same(window() + o, old_.data() + o);
                return ok(x % 64 * 4, same(window() + o, old_.data() + o),
                          same(window() + o, scene() + o));
              }),
              20)
        << type << " at " << stop;  // a pixel whose old and new bytes agree may look unchanged
    start();
    EXPECT_NEAR(run(type, 200, &kRect, "grad.bmp"), 230, 4);
    EXPECT_EQ(errors(window(), kRect), 0);
  }
  // A missing mask, or one whose cell is 0 pixels wide (64 one-pixel cells
  // halved by the alpha mode), counts as black: all is revealed at the first
  // step, and the wipe still ends.
  for (const char* tag : {"none.bmp", ":a/64,0,0;grad.bmp"}) {
    start(1);
    run(15, 300, &kRect, tag);
    EXPECT_EQ(errors(window(), kRect), 0) << tag;
    start();
    EXPECT_NEAR(run(15, 300, &kRect, tag), 330, 6) << tag;
  }
}

TEST_F(Transition, PaintingCopiesTheScreen) {
  std::fill_n(window(), kWindowBytes, 0);
  const Rect part{600, 470, 701, 501};
  show_screen(*e_, &part);
  const uint8_t black[3] = {0, 0, 0};
  EXPECT_EQ(0, failures([&](int x, int y, size_t o) {
              return same(window() + o, x >= 600 && y >= 470 ? screen() + o : black);
            }));
  dispatch_message(*e_, Message{MessageKind::Paint, 0, 0, 0});
  EXPECT_TRUE(std::equal(screen(), screen() + kWindowBytes, window()));
}

}  // namespace
}  // namespace vellumite
