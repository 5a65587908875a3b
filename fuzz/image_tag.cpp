// Feeds arbitrary bytes to the image tag parser. An accepted tag must be one
// a picture can take without further checks.
#include "game/graphics/image_tag.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_check.h"
#include "game/graphics/picture.h"

using vellumite::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellumite;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  vellumite::TagParse parsed = parse_image_tag(text);
  if (parsed.status == TagStatus::BadColor) {
    check(parsed.color_at <= size && text[parsed.color_at - 1] == '#');
    return 0;
  }
  if (parsed.status != TagStatus::Ok) return 0;

  const ImageTag& tag = parsed.tag;
  check(tag.cells >= 1);
  check(tag.file_name.size() <= kMaxTagBytes);
  check(tag.trans_mode >= -1 && tag.trans_mode <= kTransCopy);
  if (tag.interval == -1 && !tag.cell_intervals.empty()) {
    check(tag.cell_intervals.size() == size_t(tag.cells));
  }

  Picture picture;
  create_blank(picture, 64, 8, 24);
  apply_image_tag(picture, tag);
  check(cell_width(picture) >= 0);
  for (int32_t cell = 0; cell < 4; ++cell) {
    check(cell_left(picture, cell) + cell_width(picture) <= picture.surface.width);
    (void)cell_interval(picture, cell);
  }
  return 0;
}
