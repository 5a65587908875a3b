// The menu bar's strip in a window of any shape: the labels keep their shape
// at the left, and the pointer finds them there.
#include "platform/sdl/picture_view.h"

#include <gtest/gtest.h>

#include <array>

namespace vellumite {
namespace {

TEST(StripView, LabelsKeepTheirShapeAtTheLeft) {
  // strip x, y, w, h -> the labels' width and height
  const int cases[][6] = {
      {0, 0, 1280, 40, 1280, 40}, {0, 0, 1600, 20, 640, 20},  {0, 0, 1920, 30, 960, 30},
      {0, 0, 320, 20, 320, 10},   {10, 40, 960, 30, 960, 30},
  };
  for (const auto& c : cases) {
    ViewRect items = strip_items(ViewRect{c[0], c[1], c[2], c[3]});
    EXPECT_EQ((std::array{items.x, items.y, items.w, items.h}),
              (std::array{c[0], c[1], c[4], c[5]}))
        << c[2] << "x" << c[3];
  }
  // Right of the labels the pointer passes the strip's 640 pixels.
  int sx = 0, sy = 0;
  ASSERT_TRUE(to_strip(ViewRect{0, 0, 1600, 20}, 1000, 5, sx, sy));
  EXPECT_EQ(sx, 1000);
  ASSERT_TRUE(to_strip(ViewRect{0, 0, 1920, 40}, 1279, 39, sx, sy));
  EXPECT_EQ((std::array{sx, sy}), (std::array{639, 19}));
}

}  // namespace
}  // namespace vellumite
