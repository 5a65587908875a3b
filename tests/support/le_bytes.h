// Byte strings built by hand in the layout of the program's own data files:
// 32-bit little-endian integers and zero-terminated strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vellumite::testing {

struct LeBytes {
  std::string bytes;

  LeBytes& i32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((u >> shift) & 0xFF);
    return *this;
  }
  LeBytes& str(std::string_view s) {
    bytes += s;
    bytes += '\0';
    return *this;
  }
};

}  // namespace vellumite::testing
