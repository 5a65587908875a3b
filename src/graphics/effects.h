// Transition effects: the only way a composed `scene` reaches `screen` and
// the window.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "graphics/layers.h"

namespace vellumite {

constexpr int kEffectCount = 50;

struct EffectState {
  // Transition type of each effect number; -1 = not defined. 0 and 1 are
  // predefined as themselves.
  std::array<int32_t, kEffectCount> effect_types{};
  std::array<int32_t, kEffectCount> effect_durations{};
  std::array<std::string, kEffectCount> effect_masks;  // image tags, types 15 and 18
  int32_t window_effect_type = 1;
  int32_t window_effect_duration = 0;
  std::string window_effect_mask;
  int32_t effect_blank = 30;  // ms of pause after every transition but 0 and 1
};

}  // namespace vellumite
