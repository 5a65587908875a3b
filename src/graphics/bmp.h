// BMP files: reading any common variant into a drawable surface, and writing
// a surface back out.
//
// The reader takes the core (12-byte), the short 16-byte OS/2 and the 40-,
// 52-, 56-, 64-, 108- and 124-byte info headers, bottom-up and top-down rows,
// 1-, 2-, 4-, 8-, 16-, 24- and 32-bit pixels, RLE8, RLE4 and bit-field
// compression, and honours the pixel-data offset. What it produces is always
// one of the two kinds the compositor draws: 8-bit with a 256-entry palette
// (from 1-, 2-, 4- and 8-bit files) or 24-bit (from 16-, 24- and 32-bit
// files). Legal files it does not decode (JPEG or PNG inside, Huffman 1D,
// 24-bit runs, 64-bit pixels, bit fields with alpha) give a black 24-bit
// picture of the declared size. A truncated or malformed file gives an empty
// surface; nothing is read outside the file.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "graphics/surface.h"

namespace vellumite {

// No picture is wider or taller than this, nor takes more bytes of pixels
// than kMaxPictureBytes once decoded.
constexpr int32_t kMaxPictureSide = 16384;
constexpr uint64_t kMaxPictureBytes = uint64_t{256} << 20;

struct BmpLimits {
  uint64_t max_pixels = kMaxSurfacePixels;
  uint64_t max_bytes = kMaxPictureBytes;  // of the decoded surface's pixels
};

enum class BmpRead {
  Decoded,
  LeftBlack,  // a legal kind the reader does not decode: black, declared size
  Failed,     // malformed, truncated, unknown, or past a limit: surface empty
  Missing,    // load_bmp only: the file could not be opened
};

// No picture the reader accepts needs a longer file than this (32-bit pixels
// become 24-bit ones); a longer file need only be read this far.
constexpr uint64_t kMaxBmpFileBytes = kMaxPictureBytes / 3 * 4 + (uint64_t{1} << 20);

// Decodes a whole BMP file held in memory. A picture past a limit is refused
// before anything is allocated.
BmpRead read_bmp(Surface& surface, std::span<const uint8_t> file, const BmpLimits& limits = {});

// read_bmp with a pixel limit; true when the surface holds a picture.
bool decode_bmp(Surface& surface, std::span<const uint8_t> file,
                uint64_t max_pixels = kMaxSurfacePixels);

// The surface as a BMP file: the 14-byte file header, the 40-byte info
// header with image size, colours used and colours important 0, the colour
// table when the surface has a palette, and the pixel rows bottom-up.
// Empty for an empty surface.
std::string encode_bmp(const Surface& surface);

}  // namespace vellumite
