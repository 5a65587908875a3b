// The Platform's file calls, shared by both backends: the game folder and
// the files the engine writes are real files in either.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/platform_base.h"
#include "platform/posix_system.h"

namespace vellumite {

namespace fs = std::filesystem;

PathKind PlatformBase::path_kind(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec) return PathKind::None;
  if (fs::is_regular_file(status)) return PathKind::File;
  if (fs::is_directory(status)) return PathKind::Folder;
  return PathKind::None;
}

std::vector<std::string> PlatformBase::list_folder(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  return names;
}

std::optional<size_t> PlatformBase::read_file_into(const std::string& path, char* out,
                                                   size_t max_bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  // One read of the size the file has; should it have grown meanwhile, the
  // rest follows up to the limit.
  std::error_code error;
  const uintmax_t size = fs::file_size(path, error);
  size_t got = 0;
  size_t want = error ? max_bytes : static_cast<size_t>(std::min<uintmax_t>(size, max_bytes));
  for (;;) {
    const size_t n = std::fread(out + got, 1, want - got, file);
    got += n;
    if (n == 0 || got == max_bytes) break;
    want = max_bytes;
  }
  std::fclose(file);
  return got;
}

std::optional<uint64_t> PlatformBase::file_size(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  const uintmax_t size = fs::file_size(path, ec);
  if (ec) return std::nullopt;
  return size;
}

bool PlatformBase::write_file(const std::string& path, std::string_view bytes) {
  return replace_file(path, bytes);
}

bool PlatformBase::remove_file(const std::string& path) {
  std::error_code ec;
  return fs::remove(path, ec);
}

std::optional<LocalTime> PlatformBase::file_modified(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return local_time(static_cast<int64_t>(info.st_mtime));
}

std::string PlatformBase::current_folder() {
  std::error_code ec;
  const fs::path here = fs::current_path(ec);
  return ec ? std::string() : here.string();
}

}  // namespace vellumite
