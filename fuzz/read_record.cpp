// Arbitrary bytes as a read record: what is read must write back to the
// same bytes and every line must lie inside the scenario.
#include "save/read_record.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace vellumite;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ReadRecord r;
  // The scenario the file claims, so that the lines are read at all.
  if (size >= 16) {
    for (int i = 3; i >= 0; --i) r.scenario_size = r.scenario_size << 8 | data[8 + i];
    for (int i = 3; i >= 0; --i) r.scenario_hash = r.scenario_hash << 8 | data[12 + i];
  }
  if (!parse_read_record(bytes, r)) return 0;
  for (uint32_t p : r.positions) {
    if (p >= r.scenario_size) std::abort();
  }
  if (format_read_record(r) != bytes) std::abort();
  return 0;
}
