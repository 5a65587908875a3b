// Feeds arbitrary bytes to the BMP reader as a whole file in memory. A
// decoded picture must be self-consistent and survive a write and re-read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "fuzz_check.h"
#include "graphics/bmp.h"

namespace {

// Large enough for every code path, small enough that a header claiming a
// huge picture does not slow the search down.
constexpr uint64_t kFuzzMaxPixels = uint64_t{1} << 16;

using vellumite::fuzz::check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellumite;
  Surface surface;
  bool ok = decode_bmp(surface, std::span<const uint8_t>(data, size), kFuzzMaxPixels);
  check(ok == !surface.empty());
  if (!ok) return 0;

  check(surface.bit_count() == 8 || surface.bit_count() == 24);
  check(surface.width >= 1 && surface.height >= 1);
  check(uint64_t(surface.width) * uint64_t(surface.height) <= kFuzzMaxPixels);
  check(surface.bits.size() == surface.image_size);
  check(surface.image_size == uint32_t(surface.stride()) * uint32_t(surface.height));
  check(surface.color_table.size() == size_t(surface.palette_entries));
  check(surface.palette_entries == (surface.bit_count() == 8 ? 256 : 0));

  std::string file = encode_bmp(surface);
  Surface again;
  check(decode_bmp(
      again, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(file.data()), file.size())));
  check(again.width == surface.width && again.height == surface.height);
  check(again.bits == surface.bits);
  return 0;
}
