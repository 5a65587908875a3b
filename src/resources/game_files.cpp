#include "resources/game_files.h"

#include <algorithm>

#include "base/folder_bounds.h"
#include "base/sjis.h"
#include "platform/platform.h"

namespace vellumite {
namespace {

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

// Joins a folder and a name the way the file system reads them.
std::string join(const std::string& folder, std::string_view name) {
  if (folder == ".") return std::string(name);
  return folder + "/" + std::string(name);
}

// Walks the path one component at a time, matching each without regard to
// ASCII case when the exact name is not there.
std::string resolve_components(Platform& platform, std::string_view name) {
  std::string current = ".";
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string_view::npos) end = name.size();
    std::string_view part = name.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    std::string exact = join(current, part);
    if (platform.path_kind(exact) != PathKind::None) {
      current = exact;
      continue;
    }
    bool found = false;
    for (const std::string& entry : platform.list_folder(current)) {
      if (equal_ignoring_case(entry, part)) {
        current = join(current, entry);
        found = true;
        break;
      }
    }
    if (!found) return "";
  }
  return platform.path_kind(current) == PathKind::File ? current : "";
}

}  // namespace

std::string resolve_game_path(Platform& platform, std::string_view name_sjis) {
  if (name_sjis.empty() || !outside_game_folder(name_sjis).empty()) return "";
  std::string name(name_sjis);
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  // A backslash byte can also be the second byte of a Shift-JIS character;
  // only ASCII backslashes are folder separators.
  for (size_t i = 0; i + 1 < name_sjis.size(); ++i) {
    if (is_sjis_lead(static_cast<unsigned char>(name_sjis[i]))) {
      name[i + 1] = name_sjis[i + 1];
      ++i;
    }
  }
  if (platform.path_kind(name) == PathKind::File) return name;
  std::string found = resolve_components(platform, name);
  if (!found.empty()) return found;
  bool ascii = true;
  for (char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (!ascii) return resolve_components(platform, to_utf8(name));
  return "";
}

std::string resolve_game_path_logged(Platform& platform, std::string_view name_sjis) {
  std::string_view why = outside_game_folder(name_sjis);
  if (!why.empty()) {
    platform.log(to_utf8(name_sjis) + ": not read, " + std::string(why));
    return "";
  }
  return resolve_game_path(platform, name_sjis);
}

std::array<std::string, 100> find_numbered_files(Platform& platform) {
  std::array<std::string, 100> found;
  for (const std::string& name : platform.list_folder(".")) {
    // "<digits>.txt" with no leading zeros, as the loader names them.
    size_t dot = name.size() >= 5 ? name.size() - 4 : 0;
    if (dot == 0 || dot > 2 || !equal_ignoring_case(std::string_view(name).substr(dot), ".txt")) {
      continue;
    }
    if (dot == 2 && name[0] == '0') continue;
    int n = 0;
    bool digits = true;
    for (size_t i = 0; i < dot; ++i) {
      digits = digits && name[i] >= '0' && name[i] <= '9';
      n = n * 10 + (name[i] - '0');
    }
    if (!digits || platform.path_kind(name) != PathKind::File) continue;
    // An exact "N.txt" wins over another spelling of the same name.
    std::string& slot = found[static_cast<size_t>(n)];
    if (slot.empty() || name == std::to_string(n) + ".txt") slot = name;
  }
  return found;
}

std::optional<size_t> read_game_file_into(Platform& platform, std::string_view name_sjis, char* out,
                                          size_t max_bytes) {
  std::string path = resolve_game_path(platform, name_sjis);
  if (path.empty()) return std::nullopt;
  return platform.read_file_into(path, out, max_bytes);
}

std::optional<std::string> read_game_file(Platform& platform, std::string_view name_sjis,
                                          size_t max_bytes) {
  std::string path = resolve_game_path(platform, name_sjis);
  if (path.empty()) return std::nullopt;
  // Not a regular file: opened, if at all, as empty.
  const uint64_t size = platform.file_size(path).value_or(0);
  std::string data(static_cast<size_t>(std::min<uint64_t>(size, max_bytes)), '\0');
  std::optional<size_t> got = platform.read_file_into(path, data.data(), data.size());
  if (!got) return std::nullopt;
  data.resize(*got);
  return data;
}

}  // namespace vellumite
