#include "support/screen_png.h"

#include <png.h>

#include <cstdio>
#include <stdexcept>

#include "platform/platform.h"
#include "platform/png_writer.h"
#include "support/game_runner.h"
#include "support/pixels.h"

namespace vellumite::testing {

void write_screen_png(const std::filesystem::path& path, const std::vector<uint8_t>& pixels) {
  if (pixels.size() != kWindowBytes || !write_window_png(path.string(), pixels.data())) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

std::string screen_png_difference(const std::filesystem::path& path,
                                  const std::vector<uint8_t>& pixels) {
  const std::string bytes = read_file(path);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    return path.filename().string() + " is not a PNG file";
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    return path.filename().string() + " cannot be read: " + image.message;
  }
  if (image.width != static_cast<png_uint_32>(kWindowWidth) ||
      image.height != static_cast<png_uint_32>(kWindowHeight)) {
    return path.filename().string() + " is " + std::to_string(image.width) + "x" +
           std::to_string(image.height) + ", not the window's 640x480";
  }
  for (int y = 0; y < kWindowHeight; ++y) {
    for (int x = 0; x < kWindowWidth; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * kWindowWidth + x) * 3];
      const uint32_t want = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
      const uint32_t got = window_rgb(pixels.data(), x, y);
      if (want != got) {
        char text[80];
        std::snprintf(text, sizeof text, "pixel (%d, %d): expected #%06x, got #%06x", x, y,
                      static_cast<unsigned>(want), static_cast<unsigned>(got));
        return text;
      }
    }
  }
  return "";
}

}  // namespace vellumite::testing
