// The menu bar's strip in a window of any shape: the labels keep their
// shape at the left, and the pointer finds them there.
#include "platform/sdl/picture_view.h"

#include <gtest/gtest.h>

namespace vellumite {
namespace {

TEST(StripView, LabelsKeepTheirShapeAtTheLeft) {
  const struct {
    ViewRect strip;
    int items_w, items_h;
  } cases[] = {
      {{0, 0, 640, 20}, 640, 20},   {{0, 0, 1280, 40}, 1280, 40},
      {{0, 0, 1600, 20}, 640, 20},   // widened: the labels stay as they were
      {{0, 0, 1920, 30}, 960, 30},   // widened and a little taller
      {{0, 0, 320, 20}, 320, 10},    // too narrow: as wide as the window
      {{10, 40, 960, 30}, 960, 30},  // laid over a full-screen picture
  };
  for (const auto& c : cases) {
    ViewRect items = strip_items(c.strip);
    EXPECT_EQ(items.x, c.strip.x);
    EXPECT_EQ(items.y, c.strip.y);
    EXPECT_EQ(items.w, c.items_w) << c.strip.w << "x" << c.strip.h;
    EXPECT_EQ(items.h, c.items_h) << c.strip.w << "x" << c.strip.h;
  }
  // The pointer maps through the labels' place: right of them it passes the
  // strip's 640 pixels, which no label covers.
  const ViewRect wide{0, 0, 1600, 20};
  int sx = 0, sy = 0;
  ASSERT_TRUE(to_strip(wide, 100, 10, sx, sy));
  EXPECT_EQ(sx, 100);
  EXPECT_EQ(sy, 10);
  ASSERT_TRUE(to_strip(wide, 1000, 5, sx, sy));
  EXPECT_EQ(sx, 1000);
  const ViewRect doubled{0, 0, 1920, 40};
  ASSERT_TRUE(to_strip(doubled, 1279, 39, sx, sy));
  EXPECT_EQ(sx, 639);
  EXPECT_EQ(sy, 19);
  EXPECT_FALSE(to_strip(doubled, 5, 40, sx, sy));
}

}  // namespace
}  // namespace vellumite
