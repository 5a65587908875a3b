// Feeds arbitrary answers of a picture plug-in to the program's check of
// them: the first two bytes say how many of the rest are the bitmap info,
// the remainder is the pixel rows. Both blocks are exactly as long as
// given, so a read past either is caught.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_check.h"
#include "graphics/plugin_picture.h"

using vellumite::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellumite;
  if (size < 2) return 0;
  const size_t info_size = std::min<size_t>(size_t{data[0]} | size_t{data[1]} << 8, size - 2);
  const std::vector<uint8_t> info(data + 2, data + 2 + info_size);
  const std::vector<uint8_t> rows(data + 2 + info_size, data + size);
  Surface surface;
  const BmpLimits limits{.max_pixels = uint64_t{1} << 20, .max_bytes = uint64_t{1} << 22};
  const BmpRead read = surface_from_plugin_answer(surface, info, rows, limits);
  check((read == BmpRead::Failed) == surface.empty());
  if (!surface.empty()) {
    check(surface.bit_count() == 8 || surface.bit_count() == 24);
    check(surface.bits.size() == surface.image_size);
  }
  return 0;
}
