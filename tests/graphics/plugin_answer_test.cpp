// A picture plug-in's answer (bitmap info and pixel rows) turned into a
// surface: good answers in each layout, and answers that disagree with
// themselves, which must fail without reading past the blocks.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "graphics/plugin_picture.h"
#include "support/pixels.h"

namespace vellumite::testing {
namespace {

struct Answer {
  int32_t width = 2;
  int32_t height = 2;
  uint16_t bits = 24;
  uint32_t colors_used = 0;
  size_t table_entries = 0;  // colour entries behind the header
  size_t info_cut = 0;       // bytes taken off the end of the info block
  size_t rows_bytes = 16;    // 2x2 24-bit: two rows of 8 bytes
};

void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + static_cast<size_t>(i)] = static_cast<uint8_t>(x >> (8 * i));
}

// The blocks exactly as large as described: a sanitizer sees any read past
// them.
BmpRead decode(const Answer& a, Surface& s, std::vector<uint8_t> rows = {}) {
  std::vector<uint8_t> info(40 + 4 * a.table_entries, 0);
  put32(info, 0, 40);
  put32(info, 4, static_cast<uint32_t>(a.width));
  put32(info, 8, static_cast<uint32_t>(a.height));
  info[12] = 1;
  info[14] = static_cast<uint8_t>(a.bits);
  put32(info, 32, a.colors_used);
  for (size_t i = 0; i < a.table_entries; ++i)
    info[40 + 4 * i + 2] = static_cast<uint8_t>(i);  // red = i
  info.resize(info.size() - std::min(a.info_cut, info.size()));
  if (rows.empty()) rows.assign(a.rows_bytes, 0);
  return surface_from_plugin_answer(s, info, rows, {});
}

TEST(PluginAnswer, GoodAnswersInEachLayout) {
  Surface s;
  // 24-bit, bottom row first: the first stored row is the picture's last.
  std::vector<uint8_t> rows(16, 0);
  rows[0] = 0xFF;      // bottom-left blue
  rows[8 + 2] = 0xFF;  // top-left red
  ASSERT_EQ(decode({}, s, rows), BmpRead::Decoded);
  EXPECT_EQ(rgb_at(s, 0, 1), 0x0000FFu);
  EXPECT_EQ(rgb_at(s, 0, 0), 0xFF0000u);
  // A negative height stores the top row first.
  ASSERT_EQ(decode({.height = -2}, s, rows), BmpRead::Decoded);
  EXPECT_EQ(rgb_at(s, 0, 0), 0x0000FFu);
  // 8-bit with a short colour table (colours used 3): indices into it.
  std::vector<uint8_t> indices(8, 0);
  indices[4] = 2;  // top-left: entry 2, red 2
  ASSERT_EQ(decode({.bits = 8, .colors_used = 3, .table_entries = 3, .rows_bytes = 8}, s, indices),
            BmpRead::Decoded);
  EXPECT_EQ(rgb_at(s, 0, 0), 0x020000u);
  EXPECT_EQ(rgb_at(s, 1, 1), 0x000000u);
  // 4-bit with its 16 entries becomes an 8-bit picture.
  ASSERT_EQ(decode({.bits = 4, .table_entries = 16, .rows_bytes = 8}, s), BmpRead::Decoded);
  EXPECT_EQ(s.bit_count(), 8);
  // Rows longer than needed: the rest is not looked at.
  EXPECT_EQ(decode({.rows_bytes = 100}, s), BmpRead::Decoded);
}

TEST(PluginAnswer, InconsistentAnswersFail) {
  const Answer cases[] = {
      {.info_cut = 1},                                        // header cut short
      {.width = 0},                                           // no width
      {.width = -2},                                          // negative width
      {.height = 0},                                          // no height
      {.height = INT_MIN},                                    // a height without a size
      {.width = 20000},                                       // wider than any picture
      {.width = 16384, .height = 16384, .rows_bytes = 16},    // past the byte limit
      {.bits = 7},                                            // no such pixel format
      {.rows_bytes = 15},                                     // rows cut short
      {.bits = 8, .colors_used = 300, .table_entries = 300},  // more colours than 8 bits hold
      {.bits = 8, .table_entries = 255, .rows_bytes = 8},     // 256 colours, 255 given
      {.bits = 8, .colors_used = 4, .table_entries = 3, .rows_bytes = 8},
  };
  for (const Answer& a : cases) {
    SCOPED_TRACE(::testing::Message()
                 << a.width << "x" << a.height << "x" << a.bits << " colours " << a.colors_used
                 << " table " << a.table_entries << " rows " << a.rows_bytes);
    Surface s;
    EXPECT_EQ(decode(a, s), BmpRead::Failed);
    EXPECT_TRUE(s.empty());
  }
}

}  // namespace
}  // namespace vellumite::testing
