// Line breaking: the look-ahead over the rest of a text line and the
// kinsoku rule that keeps characters that may not end or begin a line
// together with their neighbour. Shared by the message display and choices.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vellumite {

// Double-byte characters examined after the one being drawn.
constexpr int kLookAheadCharacters = 128;

struct LookAhead {
  std::array<uint16_t, kLookAheadCharacters> chars{};  // lead byte << 8 | trail byte
  int count = 0;
  bool wait_follows = false;  // `@` or `\` before the next double-byte character
};

// The double-byte characters of `text` from `from` on (at most 128 bytes or
// characters examined; single bytes are passed over; a NUL ends the text).
LookAhead look_ahead(std::string_view text, size_t from);

// How many of the looked-ahead characters are bound to the next one: the
// next line break must move them along.
int kinsoku_extent(const LookAhead& ahead);

// Whether `code` is one of the double-byte characters of `set` (Shift-JIS).
bool contains_character(std::string_view set, uint16_t code);

}  // namespace vellumite
