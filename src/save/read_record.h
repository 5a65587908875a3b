// The record of the scenario text a player has read, kept per game so that
// skipping can stop where the text is new (docs/READ_RECORD.md has the
// file's layout). A text line counts by the byte offset at which it starts
// in the loaded scenario; the record holds the scenario's size and hash, so
// offsets of a changed scenario are not taken for read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

namespace vellumite {

struct ReadRecord {
  bool loaded = false;   // read from its file (or found missing) this run
  bool changed = false;  // holds lines its file does not have yet
  std::string path;      // where it is kept; "" when nowhere
  uint32_t scenario_size = 0;
  uint32_t scenario_hash = 0;
  std::unordered_set<uint32_t> positions;
};

// The 32-bit FNV-1a hash of the scenario's bytes.
uint32_t scenario_hash(std::string_view scenario);

// The file's bytes for `record`.
std::string format_read_record(const ReadRecord& record);
// Reads `bytes` into `record`'s positions when they are a whole, sound file
// for a scenario of `record.scenario_size` bytes and `record.scenario_hash`;
// false (positions untouched) otherwise.
bool parse_read_record(std::string_view bytes, ReadRecord& record);

}  // namespace vellumite
