// Feeds arbitrary bytes to the program's archive plug-in's reader as an
// archive held in memory: every format libarchive knows, every member's
// name converted to Shift-JIS and its data read.
#include <cstddef>
#include <cstdint>

#include "archive/archive_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vellumite::plugins::read_all_members(data, size);
  return 0;
}
