#include "graphics/plugin_picture.h"

#include <algorithm>
#include <vector>

namespace vellumite {
namespace {

constexpr uint64_t kInfoHeaderBytes = 40;
constexpr uint64_t kFileHeaderBytes = 14;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitfields = 3;

uint32_t le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

bool palette_depth(uint16_t bits) { return bits == 1 || bits == 2 || bits == 4 || bits == 8; }

}  // namespace

BmpRead surface_from_plugin_answer(Surface& surface, std::span<const uint8_t> info,
                                   std::span<const uint8_t> bits, const BmpLimits& limits) {
  free_surface(surface);
  if (info.size() < kInfoHeaderBytes) return BmpRead::Failed;
  const auto width = static_cast<int32_t>(le32(info.data() + 4));
  const auto height = static_cast<int32_t>(le32(info.data() + 8));
  const uint16_t bit_count = le16(info.data() + 14);
  const uint32_t compression = le32(info.data() + 16);
  const uint32_t colors_used = le32(info.data() + 32);
  if (width < 1 || height == 0 || height == INT32_MIN) return BmpRead::Failed;
  if (width > kMaxPictureSide || std::abs(height) > kMaxPictureSide) return BmpRead::Failed;

  // What follows the header: the colour table, or the three bit masks.
  uint64_t table_bytes = 0;
  if (palette_depth(bit_count)) {
    const uint32_t entries = uint32_t{1} << bit_count;
    if (colors_used > entries) return BmpRead::Failed;
    table_bytes = uint64_t{colors_used == 0 ? entries : colors_used} * 4;
  } else if (bit_count == 16 || bit_count == 24 || bit_count == 32) {
    if (compression == kCompressionBitfields) table_bytes = 12;
  } else {
    return BmpRead::Failed;
  }
  if (info.size() - kInfoHeaderBytes < table_bytes) return BmpRead::Failed;
  // Uncompressed rows must all be there; compressed data is read only as far
  // as the block goes.
  const uint64_t stride = stride_for(bit_count, width);
  const uint64_t rows_bytes = stride * static_cast<uint64_t>(std::abs(height));
  if (compression == kCompressionNone || compression == kCompressionBitfields) {
    if (bits.size() < rows_bytes) return BmpRead::Failed;
    bits = bits.first(static_cast<size_t>(rows_bytes));
  }
  if (bits.size() > kMaxPictureBytes * 2) return BmpRead::Failed;

  // The answer as a BMP file, read by the one BMP reader.
  const uint64_t offset = kFileHeaderBytes + kInfoHeaderBytes + table_bytes;
  std::vector<uint8_t> file(static_cast<size_t>(offset + bits.size()));
  file[0] = 'B';
  file[1] = 'M';
  put32(file, 2, static_cast<uint32_t>(file.size()));
  put32(file, 10, static_cast<uint32_t>(offset));
  std::copy_n(info.data(), kInfoHeaderBytes + table_bytes, file.begin() + kFileHeaderBytes);
  put32(file, kFileHeaderBytes, static_cast<uint32_t>(kInfoHeaderBytes));
  if (palette_depth(bit_count))
    put32(file, kFileHeaderBytes + 32, static_cast<uint32_t>(table_bytes / 4));
  std::copy(bits.begin(), bits.end(), file.begin() + static_cast<ptrdiff_t>(offset));
  BmpRead result = read_bmp(surface, file, limits);
  if (result == BmpRead::Failed) free_surface(surface);
  return result;
}

}  // namespace vellumite
