#include "graphics/surface.h"

namespace vellumite {

int32_t palette_entries_for(int32_t bit_count) {
  switch (bit_count) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    case 16:
    case 24:
    case 32: return 0;
    default: return 2;
  }
}

uint64_t stride_for(int32_t bit_count, int32_t width) {
  if (bit_count <= 0 || width <= 0) return 0;
  return (uint64_t(bit_count) * uint64_t(width) + 31) / 32 * 4;
}

bool create_blank(Surface& surface, int32_t width, int32_t height, int32_t bit_count) {
  free_surface(surface);
  if (width < 1 || height < 1 || bit_count < 1 || bit_count > 32) return false;
  if (uint64_t(width) * uint64_t(height) > kMaxSurfacePixels) return false;
  uint64_t image_size = stride_for(bit_count, width) * uint64_t(height);
  if (image_size > UINT32_MAX) return false;

  surface.width = width;
  surface.height = height;
  surface.image_size = static_cast<uint32_t>(image_size);
  surface.palette_entries = palette_entries_for(bit_count);
  surface.info = BmpInfoHeader{};
  surface.info.width = width;
  surface.info.height = height;
  surface.info.bit_count = static_cast<uint16_t>(bit_count);
  surface.info.image_size = surface.image_size;
  surface.color_table.assign(static_cast<size_t>(surface.palette_entries), PaletteEntry{});
  surface.bits.assign(surface.image_size, 0);
  return true;
}

void free_surface(Surface& surface) { surface = Surface{}; }

const BlendTable& blend_table() {
  static const BlendTable table = [] {
    BlendTable t{};
    for (int a = 0; a < 256; ++a) {
      for (int b = 0; b < 256; ++b) t[a][b] = static_cast<uint8_t>(a * b / 255);
    }
    return t;
  }();
  return table;
}

}  // namespace vellumite
