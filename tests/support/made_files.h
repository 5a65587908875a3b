// Pictures and archives written by their libraries (libpng, libjpeg-turbo,
// giflib, libarchive), for the tests of the plug-ins.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vellumite::testing {

// One-colour pictures (0xRRGGBB) of the size given.
std::string png_file(int width, int height, uint32_t rgb);
std::string jpeg_file(int width, int height, uint32_t rgb);
std::string gif_file(int width, int height, uint32_t rgb);

// An archive holding `members` (name bytes as given, Shift-JIS or ASCII, and
// contents). `format`: "zip", "7zip", "ustar", "pax", "cpio".
using Members = std::vector<std::pair<std::string, std::string>>;
std::string archive_file(const std::string& format, const Members& members);

// The folder of the program's plug-ins and of the test plug-ins in the build
// tree.
std::string built_plugin(const std::string& file_name);

}  // namespace vellumite::testing
