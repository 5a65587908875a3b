// vellumite-archive.so's reading of archives through libarchive: ZIP, LZH,
// CAB, 7z, RAR, tar and the other formats libarchive reads, with member
// names in Shift-JIS as the games name them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellumite::plugins {

// No member is written out larger than this.
constexpr uint64_t kMaxMemberBytes = uint64_t{1} << 31;

struct MemberInfo {
  uint32_t position = 0;  // 1 for the first entry of the archive, and so on
  uint64_t size = 0;
  std::string name;  // Shift-JIS, folders separated by '\'
};

// The first regular file in the archive at `archive_path` whose name equals
// `name_sjis` ('/' or '\' between folders), without regard to ASCII case
// when `ignore_case`.
std::optional<MemberInfo> find_member(const char* archive_path, std::string_view name_sjis,
                                      bool ignore_case);

// Writes the member at `position` into `folder` under its base name; false
// when there is no such regular file, its base name is not a plain file name
// ("", ".", ".."), or it cannot be read or written.
bool extract_member(const char* archive_path, uint32_t position, const std::string& folder);

// The same on an archive held in memory, for the fuzzer: the names of the
// members and how many bytes of each could be read.
uint64_t read_all_members(const void* data, size_t size);

}  // namespace vellumite::plugins
