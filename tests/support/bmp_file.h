// BMP files built field by field, so that each header field can be set to
// what a real writer, or a liar, puts there.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace vellumite::testing {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& out, uint32_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); }
inline void put32(Bytes& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// The header fields and pixel bytes of a BMP file to build.
struct BmpFields {
  uint32_t header_size = 40;  // 12: the core header; 16: the short OS/2 one; 40 or more
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t colors_used = 0;
  std::vector<uint32_t> palette = {};   // 0xRRGGBB
  std::vector<uint32_t> masks = {};     // red, green, blue
  std::optional<uint32_t> offset = {};  // default: directly behind the table
  size_t gap = 0;                       // bytes between the table and the pixels
  Bytes pixels = {};                    // as stored in the file
};

inline Bytes build_bmp(const BmpFields& s) {
  Bytes header;
  put32(header, s.header_size);
  if (s.header_size == 12) {
    for (uint32_t v : {uint32_t(s.width), uint32_t(s.height), 1u, uint32_t(s.bits)})
      put16(header, v);
  } else {
    put32(header, uint32_t(s.width));
    put32(header, uint32_t(s.height));
    put16(header, 1);
    put16(header, s.bits);
    for (uint32_t v : {s.compression, 0u, 2835u, 2835u, s.colors_used, 0u}) put32(header, v);
    // The masks follow a 40-byte header and fill the next bytes of a larger one.
    for (uint32_t mask : s.masks) put32(header, mask);
    if (header.size() < s.header_size || s.header_size < 40) header.resize(s.header_size, 0);
  }
  for (uint32_t c : s.palette) {
    header.insert(header.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    if (s.header_size != 12) header.push_back(0);
  }
  uint32_t natural = uint32_t(14 + header.size() + s.gap);
  Bytes out = {'B', 'M'};
  for (uint32_t v : {uint32_t(natural + s.pixels.size()), 0u, s.offset.value_or(natural)}) {
    put32(out, v);
  }
  out.insert(out.end(), header.begin(), header.end());
  out.insert(out.end(), s.gap, 0xEE);
  out.insert(out.end(), s.pixels.begin(), s.pixels.end());
  return out;
}

// Stored rows of a picture given as pixel(x, y), y = 0 the top row: packed
// indices below 8 bits, little-endian values above.
inline Bytes pack_rows(int32_t width, int32_t height, int bits, bool top_down,
                       const std::function<uint32_t(int, int)>& pixel) {
  Bytes out;
  const size_t stride = ((size_t(bits) * width + 31) / 32) * 4;
  for (int r = 0; r < height; ++r) {
    Bytes row(stride, 0);
    for (int x = 0; x < width; ++x) {
      uint32_t v = pixel(x, top_down ? r : height - 1 - r);
      if (bits < 8) {
        row[x * bits / 8] |= uint8_t(v << (8 - bits - x * bits % 8));
      } else {
        for (int b = 0; b < bits / 8; ++b) row[x * (bits / 8) + b] = uint8_t(v >> (8 * b));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

inline Bytes bytes_of(std::string_view s) { return Bytes(s.begin(), s.end()); }

}  // namespace vellumite::testing
