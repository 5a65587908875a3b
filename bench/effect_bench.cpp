// Transition effects: the pixel work of one step, the computing cost of
// whole transitions (headless, where sleeping costs nothing), and the length
// of a 1000 ms crossfade on a real clock.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "frame_copies.h"
#include "game/engine.h"
#include "game/graphics/effects.h"
#include "game/graphics/transitions.h"
#include "graphics/pixel_kernels.h"
#include "platform/headless/headless_platform.h"
#include "platform/platform_base.h"

namespace vellumite {
namespace {

void fill_pattern(std::vector<uint8_t>& bytes, uint32_t seed) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>((static_cast<uint32_t>(i) * seed) >> 24);
  }
}

// One crossfade step over the full screen: alternate bytes of 921,600
// blended by table lookups into scratch, then scratch copied to the window.
void BM_CrossfadeStep(benchmark::State& state) {
  std::vector<uint8_t> screen(kWindowBytes), scene(kWindowBytes), scratch(kWindowBytes),
      window(kWindowBytes);
  fill_pattern(screen, 0x85EBCA6Bu);
  fill_pattern(scene, 0x9E3779B1u);
  scratch = screen;
  const Rect whole = kWindowRect;
  int parity = 1;
  int32_t level = 1;
  const FrameCopies copies;
  for (auto _ : state) {
    transitions::crossfade_pass(scratch.data(), screen.data(), scene.data(), whole, parity, level);
    transitions::copy_area(window.data(), scratch.data(), whole);
    benchmark::DoNotOptimize(window.data());
    benchmark::ClobberMemory();
    parity ^= 1;
    level = level % 255 + 1;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWindowBytes);
  copies.report(state);
}
BENCHMARK(BM_CrossfadeStep);

// One step of the mask wipe and of the mask crossfade over the full screen,
// as each transition draws it (the mask a fine gradient, so that every step
// has work), then the screen copied to the window.
void BM_MaskWipeStep(benchmark::State& state) {
  std::vector<uint8_t> screen(kWindowBytes), scene(kWindowBytes), mask(kWindowBytes),
      window(kWindowBytes);
  fill_pattern(screen, 0x85EBCA6Bu);
  fill_pattern(scene, 0x9E3779B1u);
  fill_pattern(mask, 0x01000193u);
  const Rect whole = kWindowRect;
  int32_t threshold = 1;
  const FrameCopies copies;
  for (auto _ : state) {
    kernels::reveal(screen.data(), scene.data(), mask.data(), kWindowBytes / 3, threshold - 1,
                    threshold);
    transitions::copy_area(window.data(), screen.data(), whole);
    benchmark::DoNotOptimize(window.data());
    benchmark::ClobberMemory();
    threshold = threshold % 254 + 1;
  }
  copies.report(state);
}
BENCHMARK(BM_MaskWipeStep);

void BM_MaskCrossfadeStep(benchmark::State& state) {
  std::vector<uint8_t> screen(kWindowBytes), scene(kWindowBytes), old(kWindowBytes),
      mask(kWindowBytes), window(kWindowBytes);
  fill_pattern(old, 0x85EBCA6Bu);
  fill_pattern(scene, 0x9E3779B1u);
  fill_pattern(mask, 0x01000193u);
  // The transition gives each mask pixel's three bytes its first byte's value.
  for (size_t i = 0; i < kWindowBytes; i += 3) mask[i + 1] = mask[i + 2] = mask[i];
  screen = old;
  const Rect whole = kWindowRect;
  int32_t threshold = 1;
  const FrameCopies copies;
  for (auto _ : state) {
    kernels::mask_fade(screen.data(), old.data(), scene.data(), mask.data(), kWindowBytes / 3,
                       threshold - 1, threshold);
    transitions::copy_area(window.data(), screen.data(), whole);
    benchmark::DoNotOptimize(window.data());
    benchmark::ClobberMemory();
    threshold = threshold % 511 + 1;
    if (threshold == 1) screen = old;
  }
  copies.report(state);
}
BENCHMARK(BM_MaskCrossfadeStep);

// One mosaic step: 5-pixel blocks over the full screen.
void BM_MosaicStep(benchmark::State& state) {
  std::vector<uint8_t> from(kWindowBytes), to(kWindowBytes);
  fill_pattern(from, 0x9E3779B1u);
  const FrameCopies copies;
  for (auto _ : state) {
    transitions::fill_mosaic(to.data(), from.data(), 5);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  copies.report(state);
}
BENCHMARK(BM_MosaicStep);

// A whole full-screen transition of 1000 ms on the headless clock: the time
// is what all its steps cost to compute (the crossfade draws about 256 steps,
// the mask crossfade about 512). With no mask file the masks count as black.
void BM_WholeTransition(benchmark::State& state) {
  const auto type = static_cast<int32_t>(state.range(0));
  PlatformOptions options;
  options.quiet = true;
  options.timeout_ms = UINT32_MAX;
  HeadlessPlatform platform(options);
  auto engine = std::make_unique<Engine>(platform);
  Engine& e = *engine;
  create_screen_pictures(e.graphics);
  reset_effect_table(e.graphics.effects);
  for (auto _ : state) {
    std::memset(e.graphics.screen.surface.bits.data(), 0x20, kWindowBytes);
    std::memset(e.graphics.scene.surface.bits.data(), 0xC0, kWindowBytes);
    run_effect(e, type, 1000, "", nullptr);
  }
}
BENCHMARK(BM_WholeTransition)
    ->Arg(2)
    ->Arg(6)
    ->Arg(10)
    ->Arg(11)
    ->Arg(15)
    ->Arg(17)
    ->Arg(18)
    ->Unit(benchmark::kMillisecond);

// A platform on the process's steady clock with real sleeps and no window.
class RealClockPlatform final : public PlatformBase {
 public:
  RealClockPlatform() : PlatformBase(quiet()), start_(std::chrono::steady_clock::now()) {}
  uint32_t ticks() override {
    auto since = std::chrono::steady_clock::now() - start_;
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }
  void sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  void yield() override { std::this_thread::yield(); }
  // A transition never waits for a message; the wait loop's idle round only
  // needs to give up the time slice.
  void wait_message(uint32_t, bool) override { yield(); }
  bool peek_message(Message& out, bool remove) override {
    service(ticks());
    return PlatformBase::peek_message(out, remove);
  }
  void present(const Rect&) override {}
  void set_title(std::string_view) override {}
  void show_window() override {}
  bool set_full_screen(bool) override { return false; }
  void set_pointer_image(const uint8_t*, int, int, int, int) override {}
  int exit_code_for(ExitReason) const override { return 0; }
  bool acquire_instance_guard() override { return true; }
  std::string prepare_temp_folder() override { return ""; }
  void remove_temp_folder() override {}
  void restore_display_mode() override {}

 protected:
  BoxAnswer show_message_box(std::string_view, std::string_view, BoxButtons) override {
    return BoxAnswer::Ok;
  }
  bool exhausted_input_ends_program() const override { return false; }

 private:
  static PlatformOptions quiet() {
    PlatformOptions o;
    o.quiet = true;
    return o;
  }
  std::chrono::steady_clock::time_point start_;
};

// A full-screen crossfade of 1000 ms on the real clock, with the 30 ms pause
// that follows it: the wall time per iteration should be 1030 ms within 2 %.
// `deviation_pct` is the difference from 1030 ms in percent.
void BM_RealTimeCrossfade(benchmark::State& state) {
  RealClockPlatform platform;
  auto engine = std::make_unique<Engine>(platform);
  Engine& e = *engine;
  create_screen_pictures(e.graphics);
  reset_effect_table(e.graphics.effects);
  double total_ms = 0;
  for (auto _ : state) {
    std::memset(e.graphics.screen.surface.bits.data(), 0x20, kWindowBytes);
    std::memset(e.graphics.scene.surface.bits.data(), 0xC0, kWindowBytes);
    auto begin = std::chrono::steady_clock::now();
    run_effect(e, static_cast<int32_t>(state.range(0)), 1000, "", nullptr);
    total_ms +=
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
  }
  const double mean = total_ms / static_cast<double>(state.iterations());
  state.counters["ms"] = mean;
  state.counters["deviation_pct"] = (mean - 1030.0) / 1030.0 * 100.0;
}
BENCHMARK(BM_RealTimeCrossfade)
    ->Arg(10)
    ->Arg(18)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vellumite

BENCHMARK_MAIN();
