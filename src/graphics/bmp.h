// BMP files: reading any common variant into a drawable surface, and writing
// a surface back out.
//
// The reader takes the core (12-byte) and the 40-, 52-, 56-, 108- and
// 124-byte info headers, bottom-up and top-down rows, 1-, 4-, 8-, 16-, 24-
// and 32-bit pixels, RLE8, RLE4 and bit-field compression, and honours the
// pixel-data offset. What it produces is always one of the two kinds the
// compositor draws: 8-bit with a 256-entry palette (from 1-, 4- and 8-bit
// files) or 24-bit (from 16-, 24- and 32-bit files). A truncated or
// malformed file gives an empty surface; nothing is read outside the file.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "graphics/surface.h"

namespace vellumite {

// Decodes a whole BMP file held in memory. False, with the surface empty,
// when the file is malformed, truncated, of a kind not listed above, or
// larger than `max_pixels`.
bool decode_bmp(Surface& surface, std::span<const uint8_t> file,
                uint64_t max_pixels = kMaxSurfacePixels);

// Reads the BMP file at `path` (a path as resolve_game_path returns it).
// False when the file cannot be opened; true otherwise, with the surface
// empty when the file could not be decoded.
bool load_bmp(Surface& surface, const std::string& path);

// The surface as a BMP file: the 14-byte file header, the 40-byte info
// header with image size, colours used and colours important 0, the colour
// table when the surface has a palette, and the pixel rows bottom-up.
// Empty for an empty surface.
std::string encode_bmp(const Surface& surface);

// Writes encode_bmp(surface) to `path`, replacing any file there. False when
// the surface is empty or the file cannot be written.
bool save_bmp(const Surface& surface, const std::string& path);

}  // namespace vellumite
