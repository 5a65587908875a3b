#include "graphics/bmp.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vellumite {
namespace {

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitfields = 3;
constexpr uint32_t kCompressionJpeg = 4;
constexpr uint32_t kCompressionPng = 5;
constexpr uint32_t kCompressionAlphaBitfields = 6;
// The same numbers mean other things behind the 64-byte OS/2 header.
constexpr uint32_t kOs2Huffman1d = 3;
constexpr uint32_t kOs2Rle24 = 4;

constexpr uint64_t kFileHeaderBytes = 14;
constexpr uint64_t kCoreHeaderBytes = 12;
constexpr uint64_t kOs2ShortHeaderBytes = 16;  // the OS/2 header cut after the bit count
constexpr uint64_t kOs2HeaderBytes = 64;
constexpr uint64_t kInfoHeaderBytes = 40;
// Where the red, green and blue bit masks of a bit-field picture lie: behind
// a 40-byte info header, or at the same place inside a larger one.
constexpr uint64_t kMasksAt = kFileHeaderBytes + kInfoHeaderBytes;
constexpr uint64_t kMasksEnd = kMasksAt + 12;

uint32_t le16(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8; }
uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

// Little-endian reads with the bounds checked by the caller through has().
class FileBytes {
 public:
  explicit FileBytes(std::span<const uint8_t> data) : data_(data) {}
  uint64_t size() const { return data_.size(); }
  bool has(uint64_t offset, uint64_t count) const {
    return offset <= data_.size() && count <= data_.size() - offset;
  }
  const uint8_t* at(uint64_t offset) const { return data_.data() + offset; }
  uint16_t u16(uint64_t offset) const { return static_cast<uint16_t>(le16(at(offset))); }
  uint32_t u32(uint64_t offset) const { return le32(at(offset)); }
  int32_t s32(uint64_t offset) const { return static_cast<int32_t>(u32(offset)); }

 private:
  std::span<const uint8_t> data_;
};

// What the headers say, checked for consistency.
struct BmpLayout {
  int32_t width = 0;
  int32_t height = 0;  // rows, always positive
  bool top_down = false;
  int32_t bits = 0;
  uint32_t compression = kCompressionNone;
  int32_t x_pels_per_meter = 0;
  int32_t y_pels_per_meter = 0;
  uint64_t table_at = 0;     // first colour-table entry
  uint64_t table_entry = 4;  // bytes per entry: 3 behind a core header
  uint64_t colors = 0;       // colour-table entries to read
  uint64_t pixels_at = 0;
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue
  // A legal kind the reader cannot decode: the picture is left black.
  bool undecodable = false;
};

bool is_palette_depth(int32_t bits) { return bits == 1 || bits == 2 || bits == 4 || bits == 8; }

// Whether the headers describe a kind of file this reader knows but does not
// decode: compressed pictures (JPEG, PNG, Huffman, 24-bit runs), 64-bit
// pixels and bit fields with an alpha mask.
bool is_undecodable_kind(uint64_t header_size, int32_t bits, uint32_t compression) {
  if (header_size == kOs2HeaderBytes) {
    if (compression == kOs2Huffman1d && bits == 1) return true;
    if (compression == kOs2Rle24 && bits == 24) return true;
  }
  if (compression == kCompressionJpeg || compression == kCompressionPng) return true;
  if (compression == kCompressionAlphaBitfields) return bits == 16 || bits == 32;
  return compression == kCompressionNone && bits == 64;
}

bool read_layout(const FileBytes& f, const BmpLimits& limits, BmpLayout& b) {
  if (!f.has(0, kFileHeaderBytes + 4)) return false;
  uint64_t header_size = f.u32(kFileHeaderBytes);
  if (!f.has(kFileHeaderBytes, header_size)) return false;
  uint32_t colors_used = 0;
  if (header_size == kCoreHeaderBytes) {
    b.width = f.u16(18);
    b.height = f.u16(20);
    b.bits = f.u16(24);
    b.table_entry = 3;
    if (!is_palette_depth(b.bits) && b.bits != 24) return false;
  } else if (header_size == kOs2ShortHeaderBytes || header_size >= kInfoHeaderBytes) {
    b.width = f.s32(18);
    int32_t height = f.s32(22);
    // Negative heights store the rows top-down; the most negative value has
    // no positive counterpart.
    if (height == INT32_MIN) return false;
    b.top_down = height < 0;
    b.height = height < 0 ? -height : height;
    b.bits = f.u16(28);
    if (header_size >= kInfoHeaderBytes) {
      b.compression = f.u32(30);
      b.x_pels_per_meter = f.s32(38);
      b.y_pels_per_meter = f.s32(42);
      colors_used = f.u32(46);
    }
    if (is_undecodable_kind(header_size, b.bits, b.compression)) {
      b.undecodable = true;
    } else {
      switch (b.compression) {
        case kCompressionNone:
          if (!is_palette_depth(b.bits) && b.bits != 16 && b.bits != 24 && b.bits != 32) {
            return false;
          }
          break;
        case kCompressionRle8:
          if (b.bits != 8) return false;
          break;
        case kCompressionRle4:
          if (b.bits != 4) return false;
          break;
        case kCompressionBitfields:
          if (b.bits != 16 && b.bits != 32) return false;
          if (!f.has(kMasksAt, 12)) return false;
          for (int i = 0; i < 3; ++i) b.masks[i] = f.u32(kMasksAt + 4 * i);
          break;
        default: return false;
      }
    }
  } else {
    return false;
  }
  if (b.width < 1 || b.height < 1) return false;
  if (b.width > kMaxPictureSide || b.height > kMaxPictureSide) return false;
  if (uint64_t(b.width) * uint64_t(b.height) > limits.max_pixels) return false;
  // What the surface will take: 8 bits a pixel for paletted pictures, 24 for
  // the rest and for the pictures left black.
  const int32_t surface_bits = is_palette_depth(b.bits) && !b.undecodable ? 8 : 24;
  if (stride_for(surface_bits, b.width) * uint64_t(b.height) > limits.max_bytes) return false;
  if (b.undecodable) return true;
  if (b.compression == kCompressionNone && b.bits == 16) {
    b.masks[0] = 0x7C00;  // 5 bits each, the top bit unused
    b.masks[1] = 0x03E0;
    b.masks[2] = 0x001F;
  } else if (b.compression == kCompressionNone && b.bits == 32) {
    b.masks[0] = 0xFF0000;  // the top byte unused
    b.masks[1] = 0xFF00;
    b.masks[2] = 0xFF;
  }

  b.table_at = kFileHeaderBytes + header_size;
  if (b.compression == kCompressionBitfields) b.table_at = std::max(b.table_at, kMasksEnd);
  // Only pictures of up to 256 colours have a colour table that matters; a
  // colours-used value beyond the palette is bounded to it.
  uint64_t palette = b.bits <= 8 ? uint64_t{1} << b.bits : 0;
  b.colors = colors_used != 0 ? std::min<uint64_t>(colors_used, palette) : palette;
  // The pixel offset is taken when it points behind the headers and into the
  // file; it may leave a gap behind the colour table, or cut a table that
  // claims more entries than fit before it. An offset that points elsewhere
  // is ignored and the pixels are taken directly behind the colour table.
  uint64_t offset = f.u32(10);
  if (offset >= b.table_at && offset <= f.size()) {
    b.pixels_at = offset;
    b.colors = std::min(b.colors, (offset - b.table_at) / b.table_entry);
  } else {
    b.pixels_at = b.table_at + b.colors * b.table_entry;
  }
  if (!f.has(b.table_at, b.colors * b.table_entry) || b.pixels_at > f.size()) return false;
  if (b.compression == kCompressionRle8 || b.compression == kCompressionRle4) return true;
  // Uncompressed rows must all be in the file before the picture is made;
  // the last row's padding may be missing.
  const uint64_t stride = stride_for(b.bits, b.width);
  const uint64_t row_bytes = (uint64_t(b.bits) * uint64_t(b.width) + 7) / 8;
  return f.has(b.pixels_at, stride * uint64_t(b.height - 1) + row_bytes);
}

// Memory row of the r-th row as stored in the file.
uint8_t* stored_row(Surface& s, bool top_down, int32_t r) {
  int32_t memory_row = top_down ? s.height - 1 - r : r;
  return s.bits.data() + static_cast<size_t>(memory_row) * static_cast<size_t>(s.stride());
}

// One colour channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
  int shift = 0;
  int width = 0;

  explicit Channel(uint32_t mask) {
    if (mask == 0) return;
    shift = std::countr_zero(mask);
    width = std::countr_one(mask >> shift);
  }
  // Bits of a mask with gaps count up to its first gap only.
  uint8_t extract(uint32_t pixel) const {
    if (width == 0) return 0;
    uint32_t top = width >= 32 ? UINT32_MAX : (uint32_t{1} << width) - 1;
    uint32_t value = (pixel >> shift) & top;
    if (width >= 8) return static_cast<uint8_t>(value >> (width - 8));
    return static_cast<uint8_t>(value * 255 / top);
  }
};

void read_plain_rows(const FileBytes& f, const BmpLayout& b, Surface& s) {
  const uint64_t stride = stride_for(b.bits, b.width);  // rows checked by read_layout
  const Channel red(b.masks[0]), green(b.masks[1]), blue(b.masks[2]);
  const size_t width = static_cast<size_t>(b.width);
  for (int32_t r = 0; r < b.height; ++r) {
    const uint8_t* src = f.at(b.pixels_at + stride * uint64_t(r));
    uint8_t* dst = stored_row(s, b.top_down, r);
    switch (b.bits) {
      case 1:
        for (size_t x = 0; x < width; ++x) dst[x] = (src[x / 8] >> (7 - x % 8)) & 1;
        break;
      case 2:
        for (size_t x = 0; x < width; ++x) dst[x] = (src[x / 4] >> (6 - 2 * (x % 4))) & 3;
        break;
      case 4:
        for (size_t x = 0; x < width; ++x) dst[x] = (src[x / 2] >> (x % 2 ? 0 : 4)) & 15;
        break;
      case 8:
      case 24: std::memcpy(dst, src, width * static_cast<size_t>(b.bits / 8)); break;
      default:
        for (size_t x = 0; x < width; ++x) {
          uint32_t pixel = b.bits == 16 ? le16(src + 2 * x) : le32(src + 4 * x);
          dst[3 * x] = blue.extract(pixel);
          dst[3 * x + 1] = green.extract(pixel);
          dst[3 * x + 2] = red.extract(pixel);
        }
        break;
    }
  }
}

// RLE8 and RLE4: runs, literal runs padded to whole 16-bit words, and the
// escapes end of line, end of bitmap and delta. Pixels that fall outside the
// picture are dropped; pixels the stream never reaches stay index 0. A stream
// that stops between codes ends the picture there; one that stops inside a
// code is truncated.
bool read_rle_rows(const FileBytes& f, const BmpLayout& b, Surface& s) {
  const bool four_bit = b.compression == kCompressionRle4;
  const uint8_t* data = f.at(b.pixels_at);
  const uint64_t size = f.size() - b.pixels_at;
  const int32_t width = b.width;
  uint64_t p = 0;
  int32_t x = 0;
  int32_t y = 0;
  while (y < b.height) {
    if (p == size) return true;
    if (size - p < 2) return false;
    const uint8_t count = data[p];
    const uint8_t value = data[p + 1];
    p += 2;
    if (count > 0) {
      uint8_t* row = stored_row(s, b.top_down, y);
      int32_t n = std::min<int32_t>(count, width - x);
      for (int32_t i = 0; i < n; ++i) {
        row[x + i] = four_bit ? (i % 2 ? value & 15 : value >> 4) : value;
      }
      x = std::min<int32_t>(x + count, width);
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1: return true;  // end of bitmap
      case 2:               // delta: move right and up
        if (size - p < 2) return false;
        x = std::min<int32_t>(x + data[p], width);
        y += data[p + 1];
        p += 2;
        break;
      default: {  // a literal run of `value` pixels
        uint64_t bytes = four_bit ? (value + 1u) / 2 : value;
        if (size - p < bytes) return false;
        uint8_t* row = stored_row(s, b.top_down, y);
        int32_t n = std::min<int32_t>(value, width - x);
        for (int32_t i = 0; i < n; ++i) {
          row[x + i] = four_bit ? (data[p + i / 2] >> (i % 2 ? 0 : 4)) & 15 : data[p + i];
        }
        x = std::min<int32_t>(x + value, width);
        p = std::min(size, p + bytes + (bytes & 1));
        break;
      }
    }
  }
  return true;
}

void put_u16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void put_u32(std::string& out, uint32_t value) {
  put_u16(out, value & 0xFFFF);
  put_u16(out, value >> 16);
}

}  // namespace

BmpRead read_bmp(Surface& surface, std::span<const uint8_t> file, const BmpLimits& limits) {
  free_surface(surface);
  const FileBytes f(file);
  BmpLayout b;
  if (!read_layout(f, limits, b)) return BmpRead::Failed;
  if (b.undecodable) {
    if (!create_blank(surface, b.width, b.height, 24)) return BmpRead::Failed;
    return BmpRead::LeftBlack;
  }
  if (!create_blank(surface, b.width, b.height, b.bits <= 8 ? 8 : 24)) return BmpRead::Failed;
  surface.info.x_pels_per_meter = b.x_pels_per_meter;
  surface.info.y_pels_per_meter = b.y_pels_per_meter;
  for (uint64_t i = 0; i < b.colors; ++i) {
    const uint8_t* entry = f.at(b.table_at + i * b.table_entry);
    PaletteEntry& out = surface.color_table[i];
    out.blue = entry[0];
    out.green = entry[1];
    out.red = entry[2];
    out.reserved = b.table_entry == 4 ? entry[3] : 0;
  }
  if (b.compression == kCompressionRle8 || b.compression == kCompressionRle4) {
    if (!read_rle_rows(f, b, surface)) {
      free_surface(surface);
      return BmpRead::Failed;
    }
  } else {
    read_plain_rows(f, b, surface);
  }
  return BmpRead::Decoded;
}

bool decode_bmp(Surface& surface, std::span<const uint8_t> file, uint64_t max_pixels) {
  return read_bmp(surface, file, {.max_pixels = max_pixels}) != BmpRead::Failed;
}

std::string encode_bmp(const Surface& surface) {
  if (surface.empty()) return {};
  const uint32_t table_bytes = static_cast<uint32_t>(surface.color_table.size() * 4);
  const uint32_t offset = 54 + table_bytes;
  const uint32_t image_bytes = static_cast<uint32_t>(surface.bits.size());
  std::string out;
  out.reserve(offset + image_bytes);
  out += "BM";
  put_u32(out, offset + image_bytes);
  put_u32(out, 0);  // both reserved words
  put_u32(out, offset);

  const BmpInfoHeader& info = surface.info;
  put_u32(out, 40);
  put_u32(out, static_cast<uint32_t>(surface.width));
  put_u32(out, static_cast<uint32_t>(surface.height));
  put_u16(out, info.planes);
  put_u16(out, info.bit_count);
  put_u32(out, info.compression);
  put_u32(out, 0);  // image size
  put_u32(out, static_cast<uint32_t>(info.x_pels_per_meter));
  put_u32(out, static_cast<uint32_t>(info.y_pels_per_meter));
  put_u32(out, 0);  // colours used
  put_u32(out, 0);  // colours important

  for (const PaletteEntry& entry : surface.color_table) {
    out += static_cast<char>(entry.blue);
    out += static_cast<char>(entry.green);
    out += static_cast<char>(entry.red);
    out += static_cast<char>(entry.reserved);
  }
  out.append(reinterpret_cast<const char*>(surface.bits.data()), surface.bits.size());
  return out;
}

}  // namespace vellumite
