// Windows pointer files as a game ships them: .cur (and .ico) files, and the
// first frame of an animated .ani file, turned into 32-bit pixels for the
// platform's custom pointer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vellumite {

// The largest pointer picture taken, on either side.
constexpr int32_t kMaxPointerSide = 256;

struct PointerImage {
  int32_t width = 0;
  int32_t height = 0;
  int32_t hot_x = 0;
  int32_t hot_y = 0;
  std::vector<uint8_t> bgra;  // blue, green, red, alpha; rows top down
};

// Decodes a pointer file held in memory. Of several pictures in one file the
// one nearest to 32x32 wins, then the one with more colours. Pictures with
// 1, 4, 8, 24 and 32 bits per pixel are read: the AND mask makes pixels
// transparent (a masked pixel whose colour is not black inverts the screen
// under Windows; here it is black), a 32-bit picture with any alpha uses
// its alpha instead. A picture stored as PNG, a header, offset or size that
// does not fit the file, or a side above kMaxPointerSide gives nullopt;
// nothing is read outside `file`.
std::optional<PointerImage> decode_pointer_file(std::span<const uint8_t> file);

// A short fingerprint of the picture (size, hot spot, pixels) for the trace.
uint32_t pointer_fingerprint(const PointerImage& image);

}  // namespace vellumite
