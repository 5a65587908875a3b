// The text history: every character the text window shows, every line feed
// and every page end, kept as one NUL-terminated Shift-JIS string so that the
// player can page back through the last pages.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vellumite {

// Bytes of characters the history holds before it is dropped.
constexpr size_t kHistoryCapacity = 90000;
// Room beyond the capacity for the line feeds and page marks that follow the
// last character, and their NUL.
constexpr size_t kHistorySpare = 4;
// Finished pages kept; older ones are removed from the front.
constexpr int kHistoryPages = 10;

struct TextHistory {
  std::vector<char> bytes = std::vector<char>(kHistoryCapacity + kHistorySpare, 0);
  size_t write_index = 0;  // bytes[write_index] is always NUL
  int page_count = 0;      // finished pages, each ended by '\'
};

// Write index 0, page count 0, first byte NUL.
void history_clear(TextHistory& h);
// history_clear and every byte zeroed (the game's reset).
void history_wipe(TextHistory& h);
// Stores a character's two bytes; a history that has grown beyond its
// capacity is dropped whole.
void history_char(TextHistory& h, char first, char second);
// Stores a line feed (0x0A).
void history_line_feed(TextHistory& h);
// Stores a page end ('\') and removes the oldest page when more than
// kHistoryPages are kept.
void history_page_end(TextHistory& h);
// The recorded text, without its NUL.
inline std::string_view history_text(const TextHistory& h) {
  return std::string_view(h.bytes.data(), h.write_index);
}

}  // namespace vellumite
