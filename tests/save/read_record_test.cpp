// The read record's file: what is written reads back, and a file that is
// damaged or belongs to another scenario is refused as a whole.
#include "save/read_record.h"

#include <gtest/gtest.h>

#include <string>

namespace vellumite {
namespace {

ReadRecord for_scenario(uint32_t size, uint32_t hash) {
  ReadRecord r;
  r.scenario_size = size;
  r.scenario_hash = hash;
  return r;
}

TEST(ReadRecord, WrittenLinesReadBackAndDamageIsRefused) {
  ReadRecord written = for_scenario(100, 7);
  written.positions = {40, 0, 99};
  const std::string file = format_read_record(written);
  // Magic, size 100, hash 7, three lines in ascending order.
  EXPECT_EQ(file, std::string("VLMREAD1") + std::string("d\0\0\0\7\0\0\0\3\0\0\0", 12) +
                      std::string("\0\0\0\0(\0\0\0c\0\0\0", 12));
  ReadRecord back = for_scenario(100, 7);
  ASSERT_TRUE(parse_read_record(file, back));
  EXPECT_EQ(back.positions, written.positions);

  std::string out_of_order = file;
  std::swap(out_of_order[20], out_of_order[24]);
  std::string past_the_end = file;
  past_the_end[28] = 'd';  // line 100 of a 100-byte scenario
  const std::string refused[] = {
      file.substr(0, file.size() - 1),  // cut short
      file + "x",                       // a byte too many
      "VLMREAD2" + file.substr(8),      // another layout
      out_of_order,
      past_the_end,
      "",
  };
  for (const std::string& bytes : refused) {
    ReadRecord r = for_scenario(100, 7);
    r.positions = {5};
    EXPECT_FALSE(parse_read_record(bytes, r)) << bytes.size();
    EXPECT_EQ(r.positions.size(), 1u);
  }
  // The same file for a changed scenario counts nothing as read.
  ReadRecord other = for_scenario(100, 8);
  EXPECT_FALSE(parse_read_record(file, other));
}

}  // namespace
}  // namespace vellumite
