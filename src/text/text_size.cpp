#include "text/text_size.h"

#include <algorithm>

#include "platform/platform.h"

namespace vellumite {

CharacterFont enlarged_font(const CharacterFont& font, int percent, int32_t pitch_x,
                            int32_t pitch_y, int64_t x, int64_t y, int64_t window_right,
                            int64_t window_bottom) {
  if (percent <= 100 || font.width < 1 || font.height < 1) return font;
  // The widest and highest the character may become.
  const int64_t max_w = std::min<int64_t>({pitch_x, window_right - 1 - x, kWindowWidth - 1 - x});
  const int64_t max_h = std::min<int64_t>({pitch_y, window_bottom - 1 - y, kWindowHeight - 1 - y});
  // The same factor for both sides keeps the character's shape.
  int64_t p = percent;
  p = std::min(p, max_w * 100 / font.width);
  p = std::min(p, max_h * 100 / font.height);
  if (p <= 100) return font;
  CharacterFont grown = font;
  grown.width = static_cast<int32_t>(font.width * p / 100);
  grown.height = static_cast<int32_t>(font.height * p / 100);
  return grown;
}

}  // namespace vellumite
