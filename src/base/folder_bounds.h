// Whether a file name a game gives stays inside the game folder. Games name
// their files relative to their folder; a name that starts at the root or
// climbs out with ".." would read the player's other files.
#pragma once

#include <string_view>

namespace vellumite {

// Why `name` (folders separated by '/' or '\') leaves the game folder, or
// empty when it stays inside. Only the spelling counts: a second byte of a
// Shift-JIS character that looks like '\' splits a name, which can only make
// a name look deeper than it is, never shallower.
inline std::string_view outside_game_folder(std::string_view name) {
  if (!name.empty() && (name[0] == '/' || name[0] == '\\')) return "an absolute path";
  int depth = 0;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = name.size();
    std::string_view part = name.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part != "..") {
      ++depth;
    } else if (--depth < 0) {
      return "\"..\" leaves the game folder";
    }
  }
  return {};
}

}  // namespace vellumite
