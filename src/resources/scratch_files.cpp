#include "resources/scratch_files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "text/sjis.h"

namespace vellumite {
namespace fs = std::filesystem;

bool safe_base_name(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::string_view base_name(std::string_view name_sjis) {
  size_t start = 0;
  for (size_t i = 0; i < name_sjis.size(); ++i) {
    const auto b = static_cast<unsigned char>(name_sjis[i]);
    if (is_sjis_lead(b) && i + 1 < name_sjis.size()) {
      ++i;
    } else if (b == '/' || b == '\\') {
      start = i + 1;
    }
  }
  return name_sjis.substr(start);
}

std::string find_file_in_folder(const std::string& folder, std::string_view base) {
  if (!safe_base_name(base)) return "";
  std::error_code ec;
  std::string exact = folder + std::string(base);
  if (fs::is_regular_file(exact, ec)) return exact;
  for (fs::directory_iterator it(folder, ec), stop; !ec && it != stop; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() != base.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i) {
      char x = name[i], y = base[i];
      if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
      if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
      same = x == y;
    }
    if (same && fs::is_regular_file(it->path(), ec)) return it->path().string();
  }
  return "";
}

bool remove_file(const std::string& path) {
  std::error_code ec;
  return fs::remove(path, ec);
}

std::optional<std::string> read_data_file(const std::string& path, size_t max_bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::string data;
  char chunk[65536];
  size_t n = 0;
  while (data.size() < max_bytes && (n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    data.append(chunk, std::min(n, max_bytes - data.size()));
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return data;
}

bool file_exists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

}  // namespace vellumite
