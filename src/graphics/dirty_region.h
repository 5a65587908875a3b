// The parts of the screen waiting to be recomposed: a few rectangles rather
// than one box around them all, so that two small changes far apart (an
// animated sprite and the click cursor, a character and a gauge) do not
// recompose everything between them.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "base/rect.h"

namespace vellumite {

class DirtyRegion {
 public:
  static constexpr size_t kMaxParts = 8;

  // Adds a rectangle (already clipped to the screen). Parts that overlap or
  // touch it are merged with it; when the list is full, it is merged with the
  // part whose box grows least.
  void add(Rect r);
  void clear() { count_ = 0; }
  bool empty() const { return count_ == 0; }
  // Disjoint, none empty.
  std::span<const Rect> parts() const { return {parts_.data(), count_}; }
  // The box around every part; empty when nothing is dirty.
  Rect bounds() const;

 private:
  std::array<Rect, kMaxParts> parts_{};
  size_t count_ = 0;
};

}  // namespace vellumite
