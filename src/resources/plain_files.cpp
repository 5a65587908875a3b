#include "resources/plain_files.h"

#include <algorithm>

#include "platform/platform.h"

namespace vellumite {

std::optional<std::string> read_file_at(Platform& platform, const std::string& path,
                                        size_t max_bytes) {
  const std::optional<uint64_t> size = platform.file_size(path);
  if (!size) return std::nullopt;
  std::string bytes(static_cast<size_t>(std::min<uint64_t>(*size, max_bytes)), '\0');
  const std::optional<size_t> got = platform.read_file_into(path, bytes.data(), bytes.size());
  if (!got) return std::nullopt;
  bytes.resize(*got);
  return bytes;
}

}  // namespace vellumite
