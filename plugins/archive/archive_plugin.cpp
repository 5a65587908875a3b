// vellumite-archive.so: files inside ZIP, LZH, CAB, 7z, RAR and tar
// archives for the program.
#include <vellumite/plugin.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "archive/archive_reader.h"

namespace {

void copy_name(char* to, size_t room, std::string_view from) {
  const size_t n = std::min(room - 1, from.size());
  std::memcpy(to, from.data(), n);
  to[n] = '\0';
}

}  // namespace

extern "C" VELLUMITE_EXPORT int GetFileInfo(const char* buf, int32_t len, const char* filename,
                                            uint32_t flag, VellumiteFileInfo* info) {
  // Only archives named by a path (len 0, the low flag bits 0) are read.
  if (buf == nullptr || filename == nullptr || info == nullptr || (flag & 7) != 0 || len != 0)
    return 1;
  std::optional<vellumite::plugins::MemberInfo> member =
      vellumite::plugins::find_member(buf, filename, (flag & VELLUMITE_IGNORE_CASE) != 0);
  if (!member) return 1;
  std::memset(info, 0, sizeof *info);
  std::memcpy(info->method, "archive", 7);
  info->position = member->position;
  info->size = static_cast<uint32_t>(std::min<uint64_t>(member->size, UINT32_MAX));
  const size_t slash = member->name.rfind('\\');
  const std::string_view name(member->name);
  copy_name(info->path, sizeof info->path,
            slash == std::string::npos ? std::string_view{} : name.substr(0, slash + 1));
  copy_name(info->filename, sizeof info->filename,
            slash == std::string::npos ? name : name.substr(slash + 1));
  return 0;
}

extern "C" VELLUMITE_EXPORT int GetFile(const char* src, int32_t len, char* dest, uint32_t flag,
                                        VellumiteProgress, intptr_t) {
  // Only from an archive file into a folder.
  if (src == nullptr || dest == nullptr || (flag & 0x707) != 0 || len <= 0) return 1;
  return vellumite::plugins::extract_member(src, static_cast<uint32_t>(len), dest) ? 0 : 1;
}
