// Windows pointer files (.cur, .ico, .ani) written byte by byte, for the
// pointer reader's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vellumite::testing {

// One picture of a pointer file. Pixels and mask are given top down.
struct CursorPicture {
  int32_t width = 2;
  int32_t height = 2;
  uint16_t bits = 32;
  std::vector<uint32_t> palette;  // 0x00RRGGBB, for bits <= 8
  std::vector<uint32_t> pixels;   // indices (bits <= 8) or 0xAARRGGBB
  std::vector<uint8_t> mask;      // 1 = masked; empty: nothing masked
  bool omit_mask = false;         // leave the AND mask out of the file
  uint16_t hot_x = 0;
  uint16_t hot_y = 0;
};

inline void put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8 & 0xFF);
}

inline void put32(std::string& s, uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}

// The bitmap of one picture: info header (height doubled), colour table,
// colour rows and AND mask, bottom-up, rows padded to 4 bytes.
inline std::string cursor_bitmap(const CursorPicture& p) {
  std::string s;
  for (uint32_t v : {40u, static_cast<uint32_t>(p.width), static_cast<uint32_t>(p.height * 2)})
    put32(s, v);
  put16(s, 1);
  put16(s, p.bits);
  for (uint32_t v : {0u, 0u, 0u, 0u, static_cast<uint32_t>(p.palette.size()), 0u}) put32(s, v);
  for (uint32_t c : p.palette) put32(s, c);
  const auto stride = [](int bits, int width) { return (bits * width + 31) / 32 * 4; };
  for (int y = p.height - 1; y >= 0; --y) {
    std::string row(static_cast<size_t>(stride(p.bits, p.width)), '\0');
    for (int x = 0; x < p.width; ++x) {
      const uint32_t v = p.pixels[static_cast<size_t>(y * p.width + x)];
      if (p.bits <= 8) {
        const int bit = x * p.bits;
        row[static_cast<size_t>(bit / 8)] |= static_cast<char>(v << (8 - p.bits - bit % 8));
      } else {
        for (int k = 0; k < p.bits / 8; ++k)
          row[static_cast<size_t>(x * (p.bits / 8) + k)] = static_cast<char>(v >> (8 * k));
      }
    }
    s += row;
  }
  if (p.omit_mask) return s;
  for (int y = p.height - 1; y >= 0; --y) {
    std::string row(static_cast<size_t>(stride(1, p.width)), '\0');
    for (int x = 0; x < p.width && !p.mask.empty(); ++x) {
      if (p.mask[static_cast<size_t>(y * p.width + x)] != 0)
        row[static_cast<size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
    }
    s += row;
  }
  return s;
}

// A .cur (type 2) or .ico (type 1) file holding the pictures in order.
inline std::string cursor_file(const std::vector<CursorPicture>& pictures, uint16_t type = 2) {
  std::string head, body;
  put16(head, 0);
  put16(head, type);
  put16(head, static_cast<uint32_t>(pictures.size()));
  const size_t data_start = 6 + 16 * pictures.size();
  for (const CursorPicture& p : pictures) {
    const std::string bitmap = cursor_bitmap(p);
    head += {static_cast<char>(p.width & 0xFF), static_cast<char>(p.height & 0xFF), '\0', '\0'};
    put16(head, p.hot_x);
    put16(head, p.hot_y);
    put32(head, static_cast<uint32_t>(bitmap.size()));
    put32(head, static_cast<uint32_t>(data_start + body.size()));
    body += bitmap;
  }
  return head + body;
}

// One RIFF chunk, padded to an even length.
inline std::string riff_chunk(const std::string& tag, const std::string& data) {
  std::string s = tag;
  put32(s, static_cast<uint32_t>(data.size()));
  s += data;
  if (data.size() % 2 != 0) s += '\0';
  return s;
}

// An .ani file: "anih" with `flags` (bit 0: the frames are pointer files)
// and a "fram" list of the frames.
inline std::string animated_cursor(const std::vector<std::string>& frames, uint32_t flags = 1) {
  std::string header;
  put32(header, 36);
  put32(header, static_cast<uint32_t>(frames.size()));
  put32(header, static_cast<uint32_t>(frames.size()));
  for (int i = 0; i < 4; ++i) put32(header, 0);
  put32(header, 10);  // display rate
  put32(header, flags);
  std::string list = "fram";
  for (const std::string& f : frames) list += riff_chunk("icon", f);
  const std::string body = "ACON" + riff_chunk("anih", header) + riff_chunk("LIST", list);
  return riff_chunk("RIFF", body);
}

}  // namespace vellumite::testing
