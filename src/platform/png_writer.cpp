#include "platform/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "platform/platform.h"

namespace vellumite {

bool write_window_png(const std::string& path, const uint8_t* pixels) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info != nullptr) {
    std::vector<uint8_t> row(kWindowWidth * 3);
    if (setjmp(png_jmpbuf(png)) == 0) {
      png_init_io(png, file);
      png_set_IHDR(png, info, kWindowWidth, kWindowHeight, 8, PNG_COLOR_TYPE_RGB,
                   PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
      png_write_info(png, info);
      for (int y = 0; y < kWindowHeight; ++y) {
        const uint8_t* src = pixels + (kWindowHeight - 1 - y) * kWindowStride;
        for (int x = 0; x < kWindowWidth; ++x) {
          row[x * 3 + 0] = src[x * 3 + 2];
          row[x * 3 + 1] = src[x * 3 + 1];
          row[x * 3 + 2] = src[x * 3 + 0];
        }
        png_write_row(png, row.data());
      }
      png_write_end(png, nullptr);
      ok = true;
    }
  }
  png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
  ok = (std::fclose(file) == 0) && ok;
  return ok;
}

}  // namespace vellumite
