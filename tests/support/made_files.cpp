#include "support/made_files.h"

#include <archive.h>
#include <archive_entry.h>
#include <gif_lib.h>
#include <png.h>
#include <turbojpeg.h>

#include <cstring>
#include <stdexcept>

namespace vellumite::testing {

std::string png_file(int width, int height, uint32_t rgb) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width * height) * 3);
  for (size_t i = 0; i < pixels.size(); i += 3) {
    pixels[i] = static_cast<uint8_t>(rgb >> 16);
    pixels[i + 1] = static_cast<uint8_t>(rgb >> 8);
    pixels[i + 2] = static_cast<uint8_t>(rgb);
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr))
    throw std::runtime_error("png");
  out.resize(size);
  return out;
}

std::string jpeg_file(int width, int height, uint32_t rgb) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width * height) * 3);
  for (size_t i = 0; i < pixels.size(); i += 3) {
    pixels[i] = static_cast<uint8_t>(rgb >> 16);
    pixels[i + 1] = static_cast<uint8_t>(rgb >> 8);
    pixels[i + 2] = static_cast<uint8_t>(rgb);
  }
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  if (tjCompress2(handle, pixels.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_444, 100,
                  0) != 0)
    throw std::runtime_error("jpeg");
  std::string out(reinterpret_cast<char*>(jpeg), size);
  tjFree(jpeg);
  tjDestroy(handle);
  return out;
}

namespace {
int write_gif_bytes(GifFileType* gif, const GifByteType* data, int count) {
  static_cast<std::string*>(gif->UserData)
      ->append(reinterpret_cast<const char*>(data), static_cast<size_t>(count));
  return count;
}
}  // namespace

std::string gif_file(int width, int height, uint32_t rgb) {
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, write_gif_bytes, &error);
  GifColorType colors[2] = {{0, 0, 0},
                            {static_cast<GifByteType>(rgb >> 16),
                             static_cast<GifByteType>(rgb >> 8), static_cast<GifByteType>(rgb)}};
  ColorMapObject* map = GifMakeMapObject(2, colors);
  EGifSetGifVersion(gif, true);
  std::vector<GifPixelType> row(static_cast<size_t>(width), 1);
  bool ok = EGifPutScreenDesc(gif, width, height, 1, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < height; ++y) ok = EGifPutLine(gif, row.data(), width) == GIF_OK;
  GifFreeMapObject(map);
  EGifCloseFile(gif, &error);
  if (!ok) throw std::runtime_error("gif");
  return out;
}

std::string archive_file(const std::string& format, const Members& members) {
  archive* a = archive_write_new();
  archive_write_set_format_by_name(a, format.c_str());
  std::string out(size_t{1} << 20, '\0');
  size_t used = 0;
  if (archive_write_open_memory(a, out.data(), out.size(), &used) != ARCHIVE_OK)
    throw std::runtime_error(archive_error_string(a));
  for (const auto& [name, bytes] : members) {
    archive_entry* entry = archive_entry_new();
    archive_entry_copy_pathname(entry, name.c_str());
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0644);
    archive_entry_set_size(entry, static_cast<la_int64_t>(bytes.size()));
    if (archive_write_header(a, entry) != ARCHIVE_OK)
      throw std::runtime_error(archive_error_string(a));
    archive_write_data(a, bytes.data(), bytes.size());
    archive_entry_free(entry);
  }
  archive_write_close(a);
  archive_write_free(a);
  out.resize(used);
  return out;
}

std::string built_plugin(const std::string& file_name) {
  return std::string(VELLUMITE_PLUGIN_BUILD_DIR) + "/" + file_name;
}

}  // namespace vellumite::testing
