#include "platform/sdl/picture_view.h"

#include <algorithm>
#include <cstring>

namespace vellumite {
namespace {

// Division rounding towards minus infinity, for positions left of or above
// the picture.
int floor_div(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return static_cast<int>(q);
}

}  // namespace

int choose_window_scale(int width, int height) {
  int by_width = width * 9 / 10 / kWindowWidth;
  int by_height = height * 9 / 10 / kWindowHeight;
  return std::max(1, std::min(by_width, by_height));
}

ViewRect fit_picture(int width, int height) {
  if (width <= 0 || height <= 0) return ViewRect{};
  ViewRect view;
  // Compare width/height with 4/3 without rounding.
  if (int64_t{width} * kWindowHeight <= int64_t{height} * kWindowWidth) {
    view.w = width;
    view.h = static_cast<int>(int64_t{width} * kWindowHeight / kWindowWidth);
  } else {
    view.h = height;
    view.w = static_cast<int>(int64_t{height} * kWindowWidth / kWindowHeight);
  }
  view.w = std::max(view.w, 1);
  view.h = std::max(view.h, 1);
  view.x = (width - view.w) / 2;
  view.y = (height - view.h) / 2;
  return view;
}

ViewRect strip_view(int width, int height) {
  return ViewRect{0, 0, std::max(width, 1),
                  std::max(1, height * kMenuBarHeight / (kWindowHeight + kMenuBarHeight))};
}

ViewRect picture_below_strip(int width, int height) {
  ViewRect strip = strip_view(width, height);
  ViewRect view = fit_picture(width, height - strip.h);
  view.y += strip.h;
  return view;
}

ViewRect strip_items(const ViewRect& strip) {
  ViewRect items = strip;
  // Compare the place's shape with 640:20 without rounding.
  if (int64_t{strip.w} * kMenuBarHeight >= int64_t{strip.h} * kWindowWidth) {
    items.w = static_cast<int>(int64_t{strip.h} * kWindowWidth / kMenuBarHeight);
  } else {
    items.h = static_cast<int>(int64_t{strip.w} * kMenuBarHeight / kWindowWidth);
  }
  items.w = std::max(items.w, 1);
  items.h = std::max(items.h, 1);
  return items;
}

bool to_strip(const ViewRect& strip, int x, int y, int& sx, int& sy) {
  if (x < strip.x || y < strip.y || x >= strip.x + strip.w || y >= strip.y + strip.h) return false;
  const ViewRect items = strip_items(strip);
  sx = static_cast<int>(int64_t{x - items.x} * kWindowWidth / items.w);
  sy = static_cast<int>(int64_t{y - items.y} * kMenuBarHeight / items.h);
  return true;
}

bool integer_view(const ViewRect& view) {
  return view.w % kWindowWidth == 0 && view.h % kWindowHeight == 0 &&
         view.w / kWindowWidth == view.h / kWindowHeight;
}

bool to_picture(const ViewRect& view, int x, int y, int& px, int& py) {
  int cx = floor_div(int64_t{x - view.x} * kWindowWidth, view.w);
  int cy = floor_div(int64_t{y - view.y} * kWindowHeight, view.h);
  bool inside = cx >= 0 && cx < kWindowWidth && cy >= 0 && cy < kWindowHeight;
  px = std::clamp(cx, 0, kWindowWidth - 1);
  py = std::clamp(cy, 0, kWindowHeight - 1);
  return inside;
}

bool clip_to_picture(Rect& area) {
  area.left = std::max(area.left, 0);
  area.top = std::max(area.top, 0);
  area.right = std::min(area.right, kWindowWidth);
  area.bottom = std::min(area.bottom, kWindowHeight);
  return area.left < area.right && area.top < area.bottom;
}

void convert_area(const uint8_t* surface, const Rect& area, uint8_t* dst, int dst_pitch,
                  int surface_height) {
  int width = area.right - area.left;
  for (int y = area.top; y < area.bottom; ++y) {
    const uint8_t* src = surface + (surface_height - 1 - y) * kWindowStride + area.left * 3;
    uint8_t* out = dst + static_cast<ptrdiff_t>(y - area.top) * dst_pitch;
    for (int x = 0; x < width; ++x, src += 3, out += 4) {
      uint32_t value = uint32_t{src[0]} | uint32_t{src[1]} << 8 | uint32_t{src[2]} << 16;
      std::memcpy(out, &value, 4);
    }
  }
}

std::vector<uint8_t> enlarge_image(const uint8_t* pixels, int width, int height, int factor) {
  size_t out_width = static_cast<size_t>(width) * factor;
  std::vector<uint8_t> out(out_width * height * factor * 4);
  uint8_t* dst = out.data();
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = pixels + static_cast<size_t>(y) * width * 4;
    uint8_t* first = dst;
    for (int x = 0; x < width; ++x) {
      for (int i = 0; i < factor; ++i, dst += 4) std::memcpy(dst, row + x * 4, 4);
    }
    for (int i = 1; i < factor; ++i, dst += out_width * 4) std::memcpy(dst, first, out_width * 4);
  }
  return out;
}

}  // namespace vellumite
