// BMP files built field by field, for tests that need kinds no writer of
// ours produces.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vellumite::testing {

struct BmpFields {
  uint32_t header_size = 40;  // 16: the short OS/2 header; 40 or more: the info header
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bits = 24;
  uint32_t compression = 0;
};

// The file header, the info header (zeros behind the given fields), the
// colour table and the pixels as stored.
inline std::string bmp_file(const BmpFields& f, std::string_view table, std::string_view pixels) {
  std::string header;
  auto put = [&header](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) header += static_cast<char>(v >> (8 * i));
  };
  put(f.header_size, 4);
  put(static_cast<uint32_t>(f.width), 4);
  put(static_cast<uint32_t>(f.height), 4);
  put(1, 2);
  put(f.bits, 2);
  if (f.header_size > 16) put(f.compression, 4);
  header.resize(f.header_size, '\0');
  std::string out = "BM";
  const uint32_t offset = static_cast<uint32_t>(14 + header.size() + table.size());
  for (uint32_t v : {offset + static_cast<uint32_t>(pixels.size()), 0u, offset}) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
  }
  return out + header + std::string(table) + std::string(pixels);
}

}  // namespace vellumite::testing
