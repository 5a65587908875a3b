// A rectangle of pixels: left and top included, right and bottom excluded,
// so that width = right - left and a rectangle with no width or no height
// is empty. The default value is empty.
//
// Where inclusive ends must be read or written (the scenario's own
// coordinates, the trace, saved files), `Rect::inclusive` and
// `last_x`/`last_y` say so by name.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vellumite {

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  // From the corners both included; int64 so that the step past a last
  // column of INT32_MAX cannot overflow (the result is kept within 32 bits).
  static constexpr Rect inclusive(int64_t left, int64_t top, int64_t last_x, int64_t last_y) {
    return Rect{clamp32(left), clamp32(top), clamp32(last_x + 1), clamp32(last_y + 1)};
  }
  // From a corner and a size.
  static constexpr Rect sized(int64_t x, int64_t y, int64_t width, int64_t height) {
    return Rect{clamp32(x), clamp32(y), clamp32(x + width), clamp32(y + height)};
  }

  constexpr bool empty() const { return right <= left || bottom <= top; }
  constexpr int32_t width() const { return right - left; }
  constexpr int32_t height() const { return bottom - top; }
  // The last column and row inside (for inclusive coordinates).
  constexpr int32_t last_x() const { return right - 1; }
  constexpr int32_t last_y() const { return bottom - 1; }
  constexpr bool contains(int32_t x, int32_t y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
  // True when every pixel of `r` is inside this one (an empty `r` always is).
  constexpr bool covers(const Rect& r) const {
    return r.empty() || (r.left >= left && r.top >= top && r.right <= right && r.bottom <= bottom);
  }
  constexpr bool overlaps(const Rect& r) const {
    return !empty() && !r.empty() && r.left < right && left < r.right && r.top < bottom &&
           top < r.bottom;
  }
  constexpr bool operator==(const Rect&) const = default;

  static constexpr int32_t clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  }
};

// The pixels in both: the larger left and top, the smaller right and bottom,
// so that it is empty when they do not meet (its ends are kept as they come
// out: the trace writes a clipped rectangle's corners even when it is empty).
constexpr Rect intersect(const Rect& a, const Rect& b) {
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

// The smallest rectangle holding both; an empty one adds nothing.
constexpr Rect unite(const Rect& a, const Rect& b) {
  if (a.empty()) return b.empty() ? Rect{} : b;
  if (b.empty()) return a;
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

}  // namespace vellumite
