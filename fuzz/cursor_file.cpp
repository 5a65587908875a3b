// Feeds arbitrary bytes to the pointer-file reader (.cur, .ico, .ani). What
// it decodes must be a whole picture of the stated size with its hot spot
// inside.
#include "graphics/cursor_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "fuzz_check.h"

using vellumite::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellumite;
  const std::optional<PointerImage> image =
      decode_pointer_file(std::span<const uint8_t>(data, size));
  if (!image) return 0;
  check(image->width >= 1 && image->width <= kMaxPointerSide);
  check(image->height >= 1 && image->height <= kMaxPointerSide);
  check(image->hot_x >= 0 && image->hot_x < image->width);
  check(image->hot_y >= 0 && image->hot_y < image->height);
  check(image->bgra.size() == size_t(image->width) * size_t(image->height) * 4);
  return 0;
}
