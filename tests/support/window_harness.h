// An engine on a StepPlatform whose window holds a busy picture, for the
// menu bar and the dialogs drawn over it: what they leave behind, what they
// post and what they draw.
#pragma once

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <vector>

#include "game/engine.h"
#include "game/shell/dialogs.h"
#include "game/shell/menu_bar.h"
#include "support/pixels.h"
#include "support/step_platform.h"

namespace vellumite::testing {

struct WindowHarness {
  explicit WindowHarness(bool with_menu = true) : platform(&trace), e(platform) {
    if (with_menu) e.shell.menu.build();
    uint8_t* px = platform.window_pixels();
    for (int i = 0; i < kWindowBytes; ++i) px[i] = static_cast<uint8_t>(i * 7 % 251);
    before.assign(px, px + kWindowBytes);
  }
  // Whether the window holds the picture of the start again.
  bool picture_restored() {
    return std::equal(before.begin(), before.end(), platform.window_pixels());
  }
  // The window's colour at (x, y) as 0xRRGGBB.
  uint32_t pixel(int x, int y) { return window_rgb(platform.window_pixels(), x, y); }
  // Pixels of `r` that are dark: text.
  int dark_pixels(const Rect& r) {
    int count = 0;
    for (int y = r.top; y < r.top + r.height(); ++y) {
      for (int x = r.left; x < r.left + r.width(); ++x) {
        const uint32_t c = pixel(x, y);
        if ((c >> 16) < 100 && (c >> 8 & 0xFF) < 100 && (c & 0xFF) < 100) ++count;
      }
    }
    return count;
  }
  // Posts the keys: a NavKey, or '\r' and ' ' as characters.
  void keys(const std::vector<uint32_t>& list) {
    for (uint32_t k : list) {
      if (k == '\r' || k == ' ') {
        platform.post(MessageKind::Char, 0, 0, k);
      } else {
        platform.post(MessageKind::Key, 0, 0, k);
      }
    }
  }
  // The menu commands posted, in order; the queue is emptied.
  std::vector<uint32_t> commands() {
    std::vector<uint32_t> ids;
    for (const Message& m : platform.drain()) {
      if (m.kind == MessageKind::Command) ids.push_back(m.param);
    }
    return ids;
  }

  std::ostringstream trace;
  StepPlatform platform;
  Engine e;
  std::vector<uint8_t> before;
};

}  // namespace vellumite::testing
