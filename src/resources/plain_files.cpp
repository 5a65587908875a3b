#include "resources/plain_files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vellumite {
namespace fs = std::filesystem;

std::optional<std::string> read_file_at(const std::string& path, size_t max_bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::string data;
  char buffer[1 << 14];
  while (data.size() < max_bytes) {
    const size_t want = std::min(sizeof buffer, max_bytes - data.size());
    const size_t got = std::fread(buffer, 1, want, file);
    data.append(buffer, got);
    if (got < want) break;
  }
  std::fclose(file);
  return data;
}

bool write_file_replacing(const std::string& path, std::string_view bytes) {
  const fs::path target(path);
  std::error_code error;
  if (target.has_parent_path()) {
    fs::create_directories(target.parent_path(), error);
    if (error) return false;
  }
  const std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    fs::remove(temporary, error);
    return false;
  }
  fs::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

void discard_file(const std::string& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

}  // namespace vellumite
