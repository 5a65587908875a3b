// The player's text size: the text window's characters drawn larger within
// their cells, the window's layout (cells, line breaks, positions) kept.
#pragma once

#include <cstdint>

#include "text/text_window.h"

namespace vellumite {

// `font` grown to `percent` % (100: unchanged), both sides by the same
// factor, but never past the cell (`pitch_x` x `pitch_y`) nor so far that
// the character at (x, y) with its shadow column would leave the window
// rectangle (right and bottom exclusive) or the screen. Never smaller than
// `font`.
CharacterFont enlarged_font(const CharacterFont& font, int percent, int32_t pitch_x,
                            int32_t pitch_y, int64_t x, int64_t y, int64_t window_right,
                            int64_t window_bottom);

}  // namespace vellumite
