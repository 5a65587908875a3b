// Where the 640x480 picture sits in a window or on a screen, how positions in
// the window map back to picture coordinates, and the pixel conversions the
// SDL window needs. Nothing here touches SDL, so it can be checked on its own.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/backend_only.h"
#include "platform/platform.h"

namespace vellumite {

// A rectangle in window (or renderer output) coordinates.
struct ViewRect {
  int x = 0;
  int y = 0;
  int w = kWindowWidth;
  int h = kWindowHeight;
};

// The largest integer factor at which the picture fits comfortably (within
// 90%) in a usable desktop area of `width` x `height`; at least 1.
int choose_window_scale(int width, int height);

// The picture scaled to fit an area of `width` x `height` with its aspect
// kept, centred (letterboxed or pillarboxed as needed).
ViewRect fit_picture(int width, int height);

// The window in windowed mode, `width` x `height`: the menu bar's strip
// across the top and the picture below it, both scaled alike.
ViewRect strip_view(int width, int height);
ViewRect picture_below_strip(int width, int height);
// Where the strip's 640x20 pixels are drawn inside the strip's place: at its
// left edge, as tall as the place and as wide as that keeps the labels'
// shape, or as wide as the place when it is too narrow for that. The rest of
// the place is filled with the bar's face colour, so the labels keep their
// size however wide the window grows.
ViewRect strip_items(const ViewRect& strip);
// The bar's face colour, 0xRRGGBB.
constexpr uint32_t kStripFaceColor = 0xD4D0C8;
// Maps (x, y) of the window to strip coordinates (through strip_items: right
// of the labels they pass 640); false when it is not on the strip.
bool to_strip(const ViewRect& strip, int x, int y, int& sx, int& sy);

// True when the view shows the picture at a whole-number factor, where
// nearest-neighbour scaling keeps every pixel the same size.
bool integer_view(const ViewRect& view);

// Maps (x, y), a position in the area the view was fitted into, to picture
// coordinates, clamped into the picture. Returns whether it was inside.
bool to_picture(const ViewRect& view, int x, int y, int& px, int& py);

// Clips `area` to the picture; false when nothing is left.
bool clip_to_picture(Rect& area);

// Copies `area` (already clipped) of the window surface (blue, green, red;
// rows bottom-up) into 32-bit 0x00RRGGBB pixels with rows top-down. `dst`
// points at the area's top-left pixel, rows `dst_pitch` bytes apart.
// `surface_height` is the surface's number of rows (the strip has fewer).
void convert_area(const uint8_t* surface, const Rect& area, uint8_t* dst, int dst_pitch,
                  int surface_height = kWindowHeight);

// A 32-bit image enlarged `factor` times by repeating pixels.
std::vector<uint8_t> enlarge_image(const uint8_t* pixels, int width, int height, int factor);

}  // namespace vellumite
