// Reading a whole file, for the program's own plug-ins.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace vellumite::plugins {

// No picture file the picture plug-in reads is larger than this.
constexpr size_t kMaxPictureFileBytes = size_t{512} << 20;

// At most `max_bytes` of the file at `path`; false when it cannot be read or
// is longer.
inline bool read_whole_file(const char* path, size_t max_bytes, std::vector<uint8_t>& out) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  out.clear();
  uint8_t chunk[65536];
  size_t n = 0;
  bool ok = true;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    if (out.size() + n > max_bytes) {
      ok = false;
      break;
    }
    out.insert(out.end(), chunk, chunk + n);
  }
  ok = ok && std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

}  // namespace vellumite::plugins
