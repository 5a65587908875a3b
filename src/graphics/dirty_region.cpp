#include "graphics/dirty_region.h"

#include <cstdint>
#include <limits>

namespace vellumite {
namespace {

int64_t area(const Rect& r) { return int64_t{r.width()} * r.height(); }

// Overlapping, or side by side with no gap (merging those costs nothing).
bool meets(const Rect& a, const Rect& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

}  // namespace

void DirtyRegion::add(Rect r) {
  if (r.empty()) return;
  for (;;) {
    size_t hit = count_;
    for (size_t i = 0; i < count_; ++i) {
      if (parts_[i].covers(r)) return;
      if (meets(parts_[i], r)) {
        hit = i;
        break;
      }
    }
    if (hit == count_ && count_ < kMaxParts) {
      parts_[count_++] = r;
      return;
    }
    if (hit == count_) {
      int64_t least = std::numeric_limits<int64_t>::max();
      for (size_t i = 0; i < count_; ++i) {
        const int64_t growth = area(unite(parts_[i], r)) - area(parts_[i]);
        if (growth < least) {
          least = growth;
          hit = i;
        }
      }
    }
    // The merged part may now meet others: it is added again.
    r = unite(parts_[hit], r);
    parts_[hit] = parts_[--count_];
  }
}

Rect DirtyRegion::bounds() const {
  Rect box;
  for (size_t i = 0; i < count_; ++i) box = unite(box, parts_[i]);
  return box;
}

}  // namespace vellumite
