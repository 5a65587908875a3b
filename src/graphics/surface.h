// A surface: one picture's pixels in the layout of a device-independent
// bitmap, which is also the layout of BMP files and of the window. Pixels are
// 24-bit (blue, green, red) or 8-bit indices into a 256-entry palette; rows
// are stored bottom-up, each padded to a multiple of four bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellumite {

// No surface may hold more pixels than this; a picture file that claims more
// is refused before anything is allocated.
constexpr uint64_t kMaxSurfacePixels = uint64_t{16384} * 16384;

// The 40-byte BMP info header, kept with the pixels so that a surface can be
// written back as the file it was read from.
struct BmpInfoHeader {
  uint32_t size = 40;
  int32_t width = 0;
  int32_t height = 0;  // positive: rows are stored bottom-up
  uint16_t planes = 1;
  uint16_t bit_count = 0;
  uint32_t compression = 0;
  uint32_t image_size = 0;
  int32_t x_pels_per_meter = 0;
  int32_t y_pels_per_meter = 0;
  uint32_t colors_used = 0;
  uint32_t colors_important = 0;
};

// One colour-table entry, in file order.
struct PaletteEntry {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
  uint8_t reserved = 0;
};

struct Surface {
  BmpInfoHeader info;
  std::vector<PaletteEntry> color_table;  // `palette_entries` entries
  std::vector<uint8_t> bits;              // `image_size` bytes, bottom row first
  int32_t width = 0;
  int32_t height = 0;
  uint32_t image_size = 0;
  int32_t palette_entries = 0;

  bool empty() const { return bits.empty(); }
  int32_t bit_count() const { return info.bit_count; }
  int32_t stride() const {
    return static_cast<int32_t>((int64_t{info.bit_count} * width + 31) / 32 * 4);
  }
  // Picture row y (0 = top) in memory.
  uint8_t* row(int32_t y) { return bits.data() + static_cast<size_t>(height - 1 - y) * stride(); }
  const uint8_t* row(int32_t y) const {
    return bits.data() + static_cast<size_t>(height - 1 - y) * stride();
  }
};

// Palette entries by bit count: 1 -> 2, 4 -> 16, 8 -> 256, 16, 24 and 32 -> 0;
// any other bit count gets 2.
int32_t palette_entries_for(int32_t bit_count);
// Bytes per stored row: ((bit count x width + 31) / 32) x 4.
uint64_t stride_for(int32_t bit_count, int32_t width);

// Frees the old content and makes a zero-filled (black) surface. Refuses, and
// leaves the surface empty, for sizes below 1x1, above kMaxSurfacePixels, or
// bit counts outside 1..32.
bool create_blank(Surface& surface, int32_t width, int32_t height, int32_t bit_count);
void free_surface(Surface& surface);

// blend_table[a][b] = floor(a x b / 255): every blend of the compositor and
// the filters is a lookup here.
using BlendTable = std::array<std::array<uint8_t, 256>, 256>;
const BlendTable& blend_table();

}  // namespace vellumite
