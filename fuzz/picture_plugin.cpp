// Feeds arbitrary bytes to the program's picture plug-in's decoders (PNG,
// JPEG, GIF) as a whole file. A decoded picture must fit its own header and
// read back through the program's check of a plug-in's answer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_check.h"
#include "graphics/plugin_picture.h"
#include "picture/picture_codecs.h"

using vellumite::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellumite;
  plugins::DecodedPicture picture;
  if (!plugins::decode_picture(data, size, picture)) return 0;
  check(picture.width >= 1 && picture.height >= 1);
  check(picture.rows.size() == picture.stride() * static_cast<size_t>(picture.height));
  const std::vector<uint8_t> info = plugins::bitmap_info(picture);
  Surface surface;
  // Small limits keep huge (but legal) pictures from slowing the search.
  const BmpLimits limits{.max_pixels = uint64_t{1} << 22, .max_bytes = uint64_t{1} << 24};
  const BmpRead read = surface_from_plugin_answer(surface, info, picture.rows, limits);
  if (uint64_t(picture.width) * uint64_t(picture.height) <= limits.max_pixels / 4) {
    check(read == BmpRead::Decoded);
    check(surface.width == picture.width && surface.height == picture.height);
  }
  return 0;
}
