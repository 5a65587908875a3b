// The transitions behind run_effect: each draws `scene` into the window step
// by step. Internal to the effect engine; the pixel kernels are declared here
// so that the benchmarks can time them alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace vellumite {

struct Engine;

namespace transitions {

// Byte offset of pixel (x, y), y counted from the top, in a 640x480 24-bit
// buffer stored bottom-up (the window, and screen, scene and scratch).
inline size_t pixel_offset(int32_t x, int32_t y) {
  return static_cast<size_t>(kWindowHeight - 1 - y) * kWindowStride + static_cast<size_t>(x) * 3;
}

// Every `area` below lies inside the screen.

// Copies `area` between two such buffers.
void copy_area(uint8_t* to, const uint8_t* from, const Rect& area);

// Types 2 to 9.
void blinds(Engine& e, int32_t type, int32_t duration, const Rect& area);
void staggered_blinds(Engine& e, int32_t type, int32_t duration, const Rect& area);
// Type 10.
void crossfade(Engine& e, int32_t duration, const Rect& area);
// Types 11 to 14; they always cover the whole window.
void scroll_in(Engine& e, int32_t type, int32_t duration);
// Type 15.
void mask_wipe(Engine& e, int32_t duration, std::string_view mask_tag, const Rect& area);
// Type 16: leaves the mosaic in `screen`.
void mosaic_out(Engine& e, int32_t duration);
// Type 17.
void mosaic_in(Engine& e, int32_t duration);
// Type 18.
void mask_crossfade(Engine& e, int32_t duration, std::string_view mask_tag, const Rect& area);

// One crossfade pass: every second byte of `area` (starting at byte `parity`
// of each run) of `mixed` becomes the blend of `from` and `to` at `level`
// (1..255). A full-width area is one run; otherwise each row is one.
void crossfade_pass(uint8_t* mixed, const uint8_t* from, const uint8_t* to, const Rect& area,
                    int parity, int32_t level);
// Fills `to` with b x b blocks, each the colour `from` has at the block's
// bottom-left pixel; b divides 640 and 480.
void fill_mosaic(uint8_t* to, const uint8_t* from, int32_t block);

}  // namespace transitions
}  // namespace vellumite
