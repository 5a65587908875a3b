// Window pictures kept as PNG files by the recorded games of tests/games:
// written from, and compared pixel by pixel with, a window surface (640x480,
// blue-green-red, rows bottom-up).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vellumite::testing {

// Writes the window as an RGB PNG; throws when the file cannot be written.
void write_screen_png(const std::filesystem::path& path, const std::vector<uint8_t>& pixels);

// "" when the PNG at `path` shows exactly the window `pixels`; otherwise what
// differs: the first pixel in reading order as "pixel (x, y): expected
// #rrggbb, got #rrggbb", or why the file cannot be compared.
std::string screen_png_difference(const std::filesystem::path& path,
                                  const std::vector<uint8_t>& pixels);

}  // namespace vellumite::testing
