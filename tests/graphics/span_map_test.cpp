// The compositor's span maps: a picture drawn, then changed, must be drawn
// as it is now, whether its pixels, its mode, its key or its cells changed.
#include <gtest/gtest.h>

#include <cstdint>

#include "game/graphics/picture.h"
#include "graphics/compositor.h"

namespace vellumite {
namespace {

// Blue of pixel (x, y).
int blue_at(const Picture& p, int x, int y) { return p.surface.row(y)[static_cast<size_t>(x) * 3]; }

// A 16x1 picture of two alpha cells: colour blue 200 (cell 0) and 100
// (cell 1), masks black (opaque) in cell 0 and white (transparent) in cell 1.
Picture two_cells() {
  Picture p;
  EXPECT_TRUE(create_blank(p, 16, 1, 24));
  p.trans_mode = kTransAlpha;
  p.cells = 2;
  fill_picture(p, 0, 0, 4, 1, {0, 0, 200});        // colour of cell 0: blue 200
  fill_picture(p, 4, 0, 8, 1, {});                 // its mask: black
  fill_picture(p, 8, 0, 12, 1, {0, 0, 100});       // colour of cell 1: blue 100
  fill_picture(p, 12, 0, 16, 1, {255, 255, 255});  // its mask: white
  return p;
}

// Draws `p` at (0, 0) of a black screen; the blue of its first pixel.
int drawn(const Picture& p) {
  Picture screen;
  EXPECT_TRUE(create_blank(screen, 640, 480, 24));
  draw_picture(p, screen, nullptr, 0, 0);
  return blue_at(screen, 0, 0);
}

TEST(SpanMap, ADrawnPictureIsDrawnAsItIsNow) {
  Picture p = two_cells();
  EXPECT_EQ(drawn(p), 200);
  p.cell = 1;
  EXPECT_EQ(drawn(p), 0);             // transparent
  fill_picture(p, 12, 0, 16, 1, {});  // cell 1's mask now opaque
  EXPECT_EQ(drawn(p), 100);

  // Written directly, then announced.
  p.surface.row(0)[12 * 3] = 128;
  pixels_changed(p);
  EXPECT_EQ(drawn(p), 49);  // 100 x 127 / 255

  p.cells = 1;  // one cell of 8 colour columns: the mask of column 0 is column 8's
  p.cell = 0;
  EXPECT_EQ(drawn(p), 200 * 155 / 255);  // column 8 has blue 100: opacity 155

  p.trans_mode = kTransLeftup;  // the top-left colour becomes the key
  EXPECT_EQ(drawn(p), 0);
  p.trans_mode = kTransKey;
  p.key_colour.blue = 100;  // another colour is the key: column 0 shows
  EXPECT_EQ(drawn(p), 200);
  p.key_colour.blue = 200;
  EXPECT_EQ(drawn(p), 0);
}

}  // namespace
}  // namespace vellumite
