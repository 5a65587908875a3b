// The pixel kernels behind every blend of the engine: the compositor, the
// text window's tint and text, the crossfade and mask transitions and the
// colour filters. Each is written once and compiled for every instruction
// set the CPU may have; the best one is chosen at run time.
//
// Every blend is exact integer arithmetic: "a / 255" is floor(a x b / 255)
// of two bytes, and mixing c over d at opacity o gives
// floor(c x o / 255) + floor(d x (255 - o) / 255). BGR pixels are 3 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellumite::kernels {

// out[i] = floor(gain[i] x level / 255) + floor(keep[i] x (255 - level) / 255)
// for the `n` bytes; with parity 0 or 1 only the bytes i with i % 2 == parity
// are written. `out` may be `keep` or `gain`.
void mix_constant(uint8_t* out, const uint8_t* keep, const uint8_t* gain, size_t n, int32_t level,
                  int parity = -1);

// Composes the `n` bytes of `source` over `dest`, each at its own opacity
// `weight[i]` (1..254: a partial run's), with `alpha` 0..255 first scaled
// by alpha / 255; alpha < 0 leaves it.
void mix_weighted(uint8_t* dest, const uint8_t* source, const uint8_t* weight, size_t n,
                  int32_t alpha);
// The same for `count` runs at once (a picture's partial runs).
struct WeightedRun {
  uint8_t* dest;
  const uint8_t* source;
  const uint8_t* weight;
  size_t n;
};
void mix_weighted(const WeightedRun* runs, size_t count, int32_t alpha);

// Scales each channel: blue by blue / 255, green by green / 255, red by red / 255.
void tint(uint8_t* p, size_t pixels, int32_t blue, int32_t green, int32_t red);

// The monochrome filter: the mean of the three channels (rounded down),
// then each channel that mean scaled as tint() does.
void monochrome(uint8_t* p, size_t pixels, int32_t blue, int32_t green, int32_t red);

// Text over a picture: where alpha[x] is not 0, each channel becomes
// min(255, floor(channel x (255 - a) / 255) + colour channel).
void text_over(uint8_t* dest, const uint8_t* colour, const uint8_t* alpha, size_t pixels);
// The text shadow: each channel scaled by (255 - alpha[x]) / 255.
void shade(uint8_t* dest, const uint8_t* alpha, size_t pixels);

// The text window in one pass, pixel by pixel: the tint (`tint` is blue,
// green, red; null: none), then with `shadow` the shadow of the pixel to
// the left (alpha[-1] is read for the first), then the text, each as
// tint(), shade() and text_over() do it.
void window_text(uint8_t* dest, const uint8_t* colour, const uint8_t* alpha, size_t pixels,
                 bool shadow, const uint8_t* tint);

// Mask wipe, one step: each pixel whose mask pixel's first byte m has
// after < m <= upto takes the pixel of `scene`.
void reveal(uint8_t* screen, const uint8_t* scene, const uint8_t* mask, size_t pixels,
            int32_t after, int32_t upto);

// Mask crossfade, one step: each byte becomes `scene` mixed over `old` at
// opacity clamp(threshold - m, 0, 255), m the mask's byte at the same place
// (a mask pixel's three bytes hold the same value).
// `screen` holds the result of the step at `previous` (`old` before the
// first): pixels that stay `old` or were already wholly `scene` are left.
void mask_fade(uint8_t* screen, const uint8_t* old, const uint8_t* scene, const uint8_t* mask,
               size_t pixels, int32_t previous, int32_t threshold);

// Off: every kernel runs its portable version without SIMD instructions. The
// program and the tests switch it off when VELLUMITE_NO_SIMD is set.
void set_simd_enabled(bool enabled);

// For the tests: the instruction sets compiled in that this CPU can run
// (bit masks of the kernel library's targets), and a way to use only one.
// use_target(0) goes back to what set_simd_enabled chose.
std::vector<int64_t> available_targets();
const char* target_name(int64_t target);
void use_target(int64_t target);

}  // namespace vellumite::kernels
