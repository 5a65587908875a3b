#include "text/history.h"

#include <algorithm>
#include <cstring>

#include "base/sjis.h"

namespace vellumite {
namespace {

// Line feeds and page marks are stored without a capacity test, so a long
// run of them after a nearly full history (many `br` in a tall window) could
// reach the end of the buffer. When `count` bytes and their NUL no longer fit
// the history is dropped, as it is when characters overflow it.
void make_room(TextHistory& h, size_t count) {
  if (h.write_index + count + 1 > h.bytes.size()) history_clear(h);
}

void store(TextHistory& h, char byte) {
  h.bytes[h.write_index++] = byte;
  h.bytes[h.write_index] = '\0';
}

// Removes the oldest page: everything up to and including the first page
// mark. Two-byte characters are stepped over whole, so a trail byte that
// happens to be '\' is not taken for a mark.
void drop_oldest_page(TextHistory& h) {
  size_t i = 0;
  while (i < h.write_index) {
    unsigned char c = static_cast<unsigned char>(h.bytes[i]);
    if (c == '\\') break;
    i += is_sjis_lead(c) ? 2 : 1;
  }
  if (i >= h.write_index) return;  // no mark found
  size_t removed = i + 1;
  std::memmove(h.bytes.data(), h.bytes.data() + removed, h.write_index - removed);
  h.write_index -= removed;
  h.bytes[h.write_index] = '\0';
  h.page_count = kHistoryPages;
}

}  // namespace

void history_clear(TextHistory& h) {
  h.write_index = 0;
  h.page_count = 0;
  h.bytes[0] = '\0';
}

void history_wipe(TextHistory& h) {
  std::fill(h.bytes.begin(), h.bytes.end(), '\0');
  h.write_index = 0;
  h.page_count = 0;
}

void history_char(TextHistory& h, char first, char second) {
  make_room(h, 2);
  h.bytes[h.write_index] = first;
  h.bytes[h.write_index + 1] = second;
  h.write_index += 2;
  h.bytes[h.write_index] = '\0';
  if (h.write_index > kHistoryCapacity - 1) history_clear(h);
}

void history_line_feed(TextHistory& h) {
  make_room(h, 1);
  store(h, '\n');
}

void history_page_end(TextHistory& h) {
  make_room(h, 1);
  store(h, '\\');
  if (++h.page_count > kHistoryPages) drop_oldest_page(h);
}

}  // namespace vellumite
