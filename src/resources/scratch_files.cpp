#include "resources/scratch_files.h"

#include "base/sjis.h"
#include "platform/platform.h"

namespace vellumite {

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

std::string find_file_in_folder(Platform& platform, const std::string& folder,
                                std::string_view base) {
  if (!safe_base_name(base)) return "";
  std::string exact = folder + std::string(base);
  if (platform.path_kind(exact) == PathKind::File) return exact;
  for (const std::string& name : platform.list_folder(folder)) {
    if (name.size() != base.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i) {
      char x = name[i], y = base[i];
      if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
      if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
      same = x == y;
    }
    if (same && platform.path_kind(folder + name) == PathKind::File) return folder + name;
  }
  return "";
}

}  // namespace vellumite
