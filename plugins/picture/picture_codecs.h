// The picture formats of vellumite-picture.so, each decoded by its library
// (libpng, libjpeg-turbo, giflib) into the layout the program takes: a
// 40-byte bitmap info header, a colour table for 8-bit pictures, and rows
// bottom-up padded to 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellumite::plugins {

// No side longer than this and no more bytes of pixels than this, as the
// program itself allows.
constexpr int kMaxSide = 16384;
constexpr uint64_t kMaxPixelBytes = uint64_t{256} << 20;

struct DecodedPicture {
  int width = 0;
  int height = 0;
  int bit_count = 24;            // 24, or 8 with a 256-entry palette
  std::vector<uint8_t> palette;  // 8-bit: 256 entries of blue, green, red, 0
  std::vector<uint8_t> rows;     // bottom row first
  size_t stride() const { return (static_cast<size_t>(width) * (bit_count / 8) + 3) & ~size_t{3}; }
};

enum class PictureType { Unknown, Png, Jpeg, Gif };

// The format a file's first bytes announce.
PictureType sniff_picture(const uint8_t* data, size_t size);

// False when the data is not a picture of the type, is damaged, or is
// larger than the limits above.
bool decode_png(const uint8_t* data, size_t size, DecodedPicture& out);
bool decode_jpeg(const uint8_t* data, size_t size, DecodedPicture& out);
bool decode_gif(const uint8_t* data, size_t size, DecodedPicture& out);
bool decode_picture(const uint8_t* data, size_t size, DecodedPicture& out);

// The 40-byte bitmap info header and colour table of a decoded picture.
std::vector<uint8_t> bitmap_info(const DecodedPicture& picture);

}  // namespace vellumite::plugins
