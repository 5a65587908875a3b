// The dirty region when its list is full: nothing is lost, and the merge
// picks the part that grows least.
#include "graphics/dirty_region.h"

#include <gtest/gtest.h>

namespace vellumite {
namespace {

TEST(DirtyRegion, FullListMergesWhereItGrowsLeast) {
  DirtyRegion d;
  // Eight 10x10 squares 100 pixels apart along a row.
  for (int i = 0; i < 8; ++i) d.add(Rect::sized(100 * i, 0, 10, 10));
  ASSERT_EQ(d.parts().size(), 8u);
  // A ninth just below the fourth joins it.
  d.add(Rect::sized(300, 20, 10, 10));
  EXPECT_EQ(d.parts().size(), 8u);
  int64_t covered = 0;
  for (const Rect& r : d.parts()) covered += int64_t{r.width()} * r.height();
  EXPECT_EQ(covered, 7 * 100 + 10 * 30);
  EXPECT_EQ(d.bounds(), (Rect{0, 0, 710, 30}));
  // Inside a part, or empty: nothing changes.
  d.add(Rect{301, 21, 305, 25});
  d.add(Rect{50, 50, 50, 90});
  EXPECT_EQ(d.parts().size(), 8u);
  // One that reaches every part leaves one.
  d.add(Rect{5, 5, 705, 25});
  ASSERT_EQ(d.parts().size(), 1u);
  EXPECT_EQ(d.parts()[0], (Rect{0, 0, 710, 30}));
}

}  // namespace
}  // namespace vellumite
