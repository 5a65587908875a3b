#include "picture/picture_codecs.h"

#include <gif_lib.h>
#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace vellumite::plugins {
namespace {

bool size_allowed(int64_t width, int64_t height, int bytes_per_pixel) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
  return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) *
             static_cast<uint64_t>(bytes_per_pixel) <=
         kMaxPixelBytes;
}

bool allocate(DecodedPicture& out, int width, int height, int bit_count) {
  if (!size_allowed(width, height, bit_count / 8)) return false;
  out.width = width;
  out.height = height;
  out.bit_count = bit_count;
  out.rows.assign(out.stride() * static_cast<size_t>(height), 0);
  out.palette.assign(bit_count == 8 ? 1024 : 0, 0);
  return true;
}

void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + static_cast<size_t>(i)] = static_cast<uint8_t>(x >> (8 * i));
}

// giflib reads from memory through this.
struct GifInput {
  const uint8_t* data;
  size_t size;
  size_t at;
};

int read_gif_bytes(GifFileType* gif, GifByteType* out, int count) {
  auto* in = static_cast<GifInput*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), in->size - in->at);
  std::memcpy(out, in->data + in->at, n);
  in->at += n;
  return static_cast<int>(n);
}

}  // namespace

PictureType sniff_picture(const uint8_t* data, size_t size) {
  if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) return PictureType::Png;
  if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return PictureType::Jpeg;
  if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
    return PictureType::Gif;
  return PictureType::Unknown;
}

bool decode_png(const uint8_t* data, size_t size, DecodedPicture& out) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) return false;
  image.format = PNG_FORMAT_BGR;
  if (!allocate(out, static_cast<int>(std::min<png_uint_32>(image.width, kMaxSide + 1)),
                static_cast<int>(std::min<png_uint_32>(image.height, kMaxSide + 1)), 24)) {
    png_image_free(&image);
    return false;
  }
  // Transparent parts are laid over black; a negative stride writes the
  // rows bottom-up.
  const png_color black = {0, 0, 0};
  const auto stride = static_cast<png_int_32>(out.stride());
  if (!png_image_finish_read(&image, &black, out.rows.data(), -stride, nullptr)) {
    png_image_free(&image);
    return false;
  }
  return true;
}

bool decode_jpeg(const uint8_t* data, size_t size, DecodedPicture& out) {
  if (size > ULONG_MAX) return false;
  tjhandle handle = tjInitDecompress();
  if (handle == nullptr) return false;
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  bool ok = tjDecompressHeader3(handle, data, static_cast<unsigned long>(size), &width, &height,
                                &subsampling, &colorspace) == 0 &&
            allocate(out, width, height, 24);
  if (ok) {
    // A damaged end of the data is only a warning: what was decoded stays.
    ok = tjDecompress2(handle, data, static_cast<unsigned long>(size), out.rows.data(), width,
                       static_cast<int>(out.stride()), height, TJPF_BGR, TJFLAG_BOTTOMUP) == 0 ||
         tjGetErrorCode(handle) == TJERR_WARNING;
  }
  tjDestroy(handle);
  return ok;
}

bool decode_gif(const uint8_t* data, size_t size, DecodedPicture& out) {
  GifInput input{data, size, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&input, read_gif_bytes, &error);
  if (gif == nullptr) return false;
  bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0;
  if (ok) {
    // The first frame on the logical screen, the rest in the background
    // colour.
    const SavedImage& frame = gif->SavedImages[0];
    const GifImageDesc& desc = frame.ImageDesc;
    int width = gif->SWidth > 0 ? gif->SWidth : desc.Width;
    int height = gif->SHeight > 0 ? gif->SHeight : desc.Height;
    const ColorMapObject* colors = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
    ok = colors != nullptr && frame.RasterBits != nullptr && allocate(out, width, height, 8);
    if (ok) {
      const int count = std::min(colors->ColorCount, 256);
      for (int i = 0; i < count; ++i) {
        out.palette[static_cast<size_t>(i) * 4] = colors->Colors[i].Blue;
        out.palette[static_cast<size_t>(i) * 4 + 1] = colors->Colors[i].Green;
        out.palette[static_cast<size_t>(i) * 4 + 2] = colors->Colors[i].Red;
      }
      std::fill(out.rows.begin(), out.rows.end(), static_cast<uint8_t>(gif->SBackGroundColor));
      for (int y = 0; y < desc.Height; ++y) {
        const int screen_y = desc.Top + y;
        if (screen_y < 0 || screen_y >= height) continue;
        uint8_t* row = out.rows.data() + static_cast<size_t>(height - 1 - screen_y) * out.stride();
        for (int x = 0; x < desc.Width; ++x) {
          const int screen_x = desc.Left + x;
          if (screen_x < 0 || screen_x >= width) continue;
          row[screen_x] =
              frame.RasterBits[static_cast<size_t>(y) * static_cast<size_t>(desc.Width) +
                               static_cast<size_t>(x)];
        }
      }
    }
  }
  DGifCloseFile(gif, &error);
  return ok;
}

bool decode_picture(const uint8_t* data, size_t size, DecodedPicture& out) {
  switch (sniff_picture(data, size)) {
    case PictureType::Png: return decode_png(data, size, out);
    case PictureType::Jpeg: return decode_jpeg(data, size, out);
    case PictureType::Gif: return decode_gif(data, size, out);
    case PictureType::Unknown: break;
  }
  return false;
}

std::vector<uint8_t> bitmap_info(const DecodedPicture& picture) {
  std::vector<uint8_t> info(40 + picture.palette.size(), 0);
  put32(info, 0, 40);
  put32(info, 4, static_cast<uint32_t>(picture.width));
  put32(info, 8, static_cast<uint32_t>(picture.height));
  info[12] = 1;  // planes
  info[14] = static_cast<uint8_t>(picture.bit_count);
  put32(info, 20, static_cast<uint32_t>(picture.rows.size()));
  put32(info, 32, static_cast<uint32_t>(picture.palette.size() / 4));
  std::copy(picture.palette.begin(), picture.palette.end(), info.begin() + 40);
  return info;
}

}  // namespace vellumite::plugins
