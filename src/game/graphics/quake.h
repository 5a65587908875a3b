// The screen quake of `quakex` and `quakey`: `screen` shown shifted back and
// forth on the window with shrinking amplitude, then shown in place again.
#pragma once

#include <cstdint>

namespace vellumite {

struct Engine;

// Calls `visit(offset)` for every frame of a quake of `count` rounds, in
// order. Round r (count down to 1) has amplitude unit x 4 x r and stride
// unit x r (unit 4 across, 3 down): out from 0 to the amplitude, back to
// 0, out to minus the amplitude and back, four frames each way.
template <typename Visit>
void quake_offsets(int64_t count, int64_t unit, Visit visit) {
  for (int64_t r = count; r >= 1; --r) {
    const int64_t amplitude = unit * 4 * r, stride = unit * r;
    int64_t at = 0;
    for (; at < amplitude; at += stride) visit(at);
    for (; at > 0; at -= stride) visit(at);
    for (; at > -amplitude; at -= stride) visit(at);
    for (; at < 0; at += stride) visit(at);
  }
}

// Shakes the window `count` rounds (at least 1) over `duration_ms`: each
// frame is shown for duration / (16 x count) ms, the frames' times counted
// from the start. No message is taken meanwhile; `screen` and `scene` stay
// as they are.
void quake(Engine& e, bool vertical, int32_t count, int32_t duration_ms);

}  // namespace vellumite
