// vellumite-picture.so: PNG, JPEG and GIF pictures for the program.
#include <vellumite/plugin.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "picture/picture_codecs.h"
#include "plugin_files.h"

using vellumite::plugins::DecodedPicture;

namespace {

VellumiteBlock* block_of(const std::vector<uint8_t>& bytes) {
  VellumiteBlock* block = vellumite_block_new(bytes.size());
  if (block != nullptr && !bytes.empty()) std::memcpy(block->data, bytes.data(), bytes.size());
  return block;
}

}  // namespace

extern "C" VELLUMITE_EXPORT int GetPicture(const char* buf, int32_t len, uint32_t flag,
                                           VellumiteBlock** info, VellumiteBlock** bits,
                                           VellumiteProgress, intptr_t) {
  if (buf == nullptr || info == nullptr || bits == nullptr) return 1;
  *info = nullptr;
  *bits = nullptr;
  std::vector<uint8_t> file;
  // The low bits of the flag: 0 = `buf` names a file, 1 = `buf` holds `len`
  // bytes of the picture.
  if ((flag & 7) == 1) {
    if (len < 0) return 1;
    file.assign(reinterpret_cast<const uint8_t*>(buf), reinterpret_cast<const uint8_t*>(buf) + len);
  } else if (!vellumite::plugins::read_whole_file(buf, vellumite::plugins::kMaxPictureFileBytes,
                                                  file)) {
    return 1;
  }
  DecodedPicture picture;
  if (!vellumite::plugins::decode_picture(file.data(), file.size(), picture)) return 1;
  *info = block_of(vellumite::plugins::bitmap_info(picture));
  *bits = block_of(picture.rows);
  if (*info == nullptr || *bits == nullptr) {
    if (*info != nullptr) (*info)->release(*info);
    if (*bits != nullptr) (*bits)->release(*bits);
    *info = *bits = nullptr;
    return 1;
  }
  return 0;
}
