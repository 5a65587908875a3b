#include "game/graphics/quake.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "game/engine.h"

namespace vellumite {
namespace {

// The window shows `screen` moved `offset` pixels right (or down when
// vertical); what no screen pixel reaches is black.
void show_shifted(const Surface& screen, uint8_t* window, bool vertical, int64_t offset) {
  const int64_t shift = std::clamp<int64_t>(offset, -kWindowWidth, kWindowWidth);
  for (int32_t y = 0; y < kWindowHeight; ++y) {
    uint8_t* out = window + static_cast<size_t>(kWindowHeight - 1 - y) * kWindowStride;
    if (vertical) {
      const int64_t from = y - offset;
      if (from < 0 || from >= kWindowHeight) {
        std::memset(out, 0, kWindowStride);
      } else {
        std::memcpy(out, screen.row(static_cast<int32_t>(from)), kWindowStride);
      }
      continue;
    }
    const uint8_t* in = screen.row(y);
    const auto moved = static_cast<size_t>(std::abs(shift)) * 3;
    const size_t kept = kWindowStride - moved;
    if (shift >= 0) {
      std::memset(out, 0, moved);
      std::memcpy(out + moved, in, kept);
    } else {
      std::memcpy(out, in + moved, kept);
      std::memset(out + kept, 0, moved);
    }
  }
}

}  // namespace

void quake(Engine& e, bool vertical, int32_t count, int32_t duration_ms) {
  Platform& p = e.platform;
  const Surface& screen = e.graphics.screen.surface;
  if (screen.bit_count() != 24 || screen.width != kWindowWidth || screen.height != kWindowHeight ||
      count < 1) {
    return;
  }
  const int64_t frame_ms = std::max<int64_t>(int64_t{duration_ms} / (int64_t{count} * 16), 0);
  uint8_t* window = p.window_pixels();
  const uint32_t start = p.ticks();
  int64_t frame = 0;
  quake_offsets(count, vertical ? 3 : 4, [&](int64_t offset) {
    show_shifted(screen, window, vertical, offset);
    p.present(kWindowRect);
    // Frame k ends k + 1 frame times after the start, so that a late wake
    // does not lengthen the quake.
    ++frame;
    const int64_t due = frame * frame_ms;
    const int64_t now = static_cast<uint32_t>(p.ticks() - start);
    if (now < due) p.sleep(static_cast<uint32_t>(std::min<int64_t>(due - now, UINT32_MAX)));
  });
  std::memcpy(window, screen.bits.data(), kWindowBytes);
  p.present(kWindowRect);
}

}  // namespace vellumite
