#include "resources/game_files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"
#include "resources/folder_bounds.h"
#include "text/sjis.h"

namespace vellumite {
namespace fs = std::filesystem;
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

bool is_regular(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// Walks the path one component at a time, matching each without regard to
// ASCII case when the exact name is not there.
std::string resolve_components(std::string_view name) {
  fs::path current = ".";
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string_view::npos) end = name.size();
    std::string_view part = name.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    fs::path exact = current / std::string(part);
    std::error_code ec;
    if (fs::exists(exact, ec)) {
      current = exact;
      continue;
    }
    bool found = false;
    for (fs::directory_iterator it(current, ec), stop; !ec && it != stop; it.increment(ec)) {
      if (equal_ignoring_case(it->path().filename().native(), part)) {
        current = it->path();
        found = true;
        break;
      }
    }
    if (!found) return "";
  }
  return is_regular(current) ? current.lexically_normal().string() : "";
}

}  // namespace

std::string resolve_game_path(std::string_view name_sjis) {
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
  if (is_regular(name)) return name;
  std::string found = resolve_components(name);
  if (!found.empty()) return found;
  bool ascii = true;
  for (char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (!ascii) return resolve_components(to_utf8(name));
  return "";
}

std::string resolve_game_path_logged(Platform& platform, std::string_view name_sjis) {
  std::string_view why = outside_game_folder(name_sjis);
  if (!why.empty()) {
    platform.log(to_utf8(name_sjis) + ": not read, " + std::string(why));
    return "";
  }
  return resolve_game_path(name_sjis);
}

std::array<std::string, 100> find_numbered_files() {
  std::array<std::string, 100> found;
  std::error_code ec;
  for (fs::directory_iterator it(".", ec), stop; !ec && it != stop; it.increment(ec)) {
    std::string name = it->path().filename().string();
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
    if (!digits || !is_regular(it->path())) continue;
    // An exact "N.txt" wins over another spelling of the same name.
    std::string& slot = found[static_cast<size_t>(n)];
    if (slot.empty() || name == std::to_string(n) + ".txt") slot = name;
  }
  return found;
}

std::optional<size_t> read_game_file_into(std::string_view name_sjis, char* out, size_t max_bytes) {
  std::string path = resolve_game_path(name_sjis);
  if (path.empty()) return std::nullopt;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  // One read of the size the file has; should it have grown meanwhile, the
  // rest follows up to the limit.
  std::error_code error;
  const uintmax_t size = fs::file_size(path, error);
  size_t got = 0;
  size_t want = error ? max_bytes : static_cast<size_t>(std::min<uintmax_t>(size, max_bytes));
  for (;;) {
    const size_t n = std::fread(out + got, 1, want - got, file);
    got += n;
    if (n == 0 || got == max_bytes) break;
    want = max_bytes;
  }
  std::fclose(file);
  return got;
}

std::optional<std::string> read_game_file(std::string_view name_sjis, size_t max_bytes) {
  std::string path = resolve_game_path(name_sjis);
  if (path.empty()) return std::nullopt;
  std::error_code error;
  uintmax_t size = fs::file_size(path, error);
  if (error) size = 0;  // not a regular file: opened, if at all, as empty
  std::string data(static_cast<size_t>(std::min<uintmax_t>(size, max_bytes)), '\0');
  std::optional<size_t> got = read_game_file_into(name_sjis, data.data(), data.size());
  if (!got) return std::nullopt;
  data.resize(*got);
  return data;
}

}  // namespace vellumite
