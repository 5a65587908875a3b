#include "text/kinsoku.h"

#include <string>

#include "base/sjis.h"

namespace vellumite {
namespace {

// Characters that may not end a line and those that may not begin one.
const std::string& no_line_end() {
  static const std::string chars = to_sjis("（［｛「『");
  return chars;
}
const std::string& no_line_start() {
  static const std::string chars = to_sjis("、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』");
  return chars;
}

}  // namespace

LookAhead look_ahead(std::string_view text, size_t from) {
  auto at = [text](size_t k) -> unsigned char {
    return k < text.size() ? static_cast<unsigned char>(text[k]) : 0;
  };
  LookAhead a;
  size_t k = from;
  for (int examined = 0; examined < kLookAheadCharacters; ++examined) {
    unsigned char b = at(k);
    if (b == 0) break;
    if (is_sjis_lead(b)) {
      unsigned char b2 = at(k + 1);
      if (b2 == 0) break;
      a.chars[static_cast<size_t>(a.count++)] = static_cast<uint16_t>(b << 8 | b2);
      k += 2;
    } else {
      if (a.count == 0 && (b == '@' || b == '\\')) a.wait_follows = true;
      ++k;
    }
  }
  return a;
}

int kinsoku_extent(const LookAhead& a) {
  int k = 0;
  while (a.count >= k + 2 &&
         (contains_character(no_line_end(), a.chars[static_cast<size_t>(k)]) ||
          contains_character(no_line_start(), a.chars[static_cast<size_t>(k + 1)]))) {
    ++k;
  }
  return k;
}

bool contains_character(std::string_view set, uint16_t code) {
  const char first = static_cast<char>(code >> 8), second = static_cast<char>(code & 0xFF);
  for (size_t k = 0; k + 1 < set.size(); k += 2) {
    if (set[k] == first && set[k + 1] == second) return true;
  }
  return false;
}

}  // namespace vellumite
