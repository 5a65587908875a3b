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

// Every effect number undefined except 0 and 1; the window effect back to 1.
void reset_effect_table(EffectState& effects);
// Runs one transition over an inclusive rectangle (null: the whole screen).
// Callers first refresh the scene over the same rectangle.
void run_effect(Engine& e, int32_t type, int32_t duration, std::string_view mask_tag,
                const ClipRect* rect);
// Reads a command's effect part (a number, or an inline type, duration and
// mask) and runs it over `dirty_rect`.
void read_effect(Engine& e);
// Copies an inclusive rectangle of `screen` (null: all of it) to the window
// and presents it: what painting the window does.
void show_screen(Engine& e, const ClipRect* rect);

}  // namespace vellumite
