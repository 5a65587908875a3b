#include "resources/data_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vellumite {
namespace {

bool write_all(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string join(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += name;
  return path;
}

}  // namespace

bool game_folder_writable() {
  const std::string probe = ".vellumite-write-probe-" + std::to_string(getpid());
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

std::string data_folder_for(bool writable, std::string_view data_home,
                            std::string_view game_folder_name) {
  if (writable || data_home.empty() || game_folder_name.empty()) return "";
  std::string folder(data_home);
  if (folder.back() != '/') folder += '/';
  folder += "vellumite/";
  folder += game_folder_name;
  folder += '/';
  return folder;
}

std::string current_folder_name() {
  std::error_code ec;
  const std::filesystem::path here = std::filesystem::current_path(ec);
  if (ec) return "";
  return here.filename().string();
}

std::string find_data_file(std::string_view folder, std::string_view name) {
  struct stat st {};
  if (!folder.empty()) {
    std::string path = join(folder, name);
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return path;
  }
  std::string path(name);
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return path;
  return "";
}

std::optional<std::string> read_data_file(std::string_view folder, std::string_view name,
                                          size_t max_bytes) {
  const std::string path = find_data_file(folder, name);
  if (path.empty()) return std::nullopt;
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    const size_t room = max_bytes - bytes.size();
    bytes.append(chunk, std::min(static_cast<size_t>(n), room));
    if (bytes.size() >= max_bytes) break;
  }
  ::close(fd);
  return bytes;
}

bool write_file_atomically(const std::string& path, std::string_view bytes) {
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos) {
    std::error_code ec;
    std::filesystem::create_directories(path.substr(0, slash), ec);
  }
  // One fixed name beside the file: only one instance runs at a time, and a
  // temporary file left by a crash is simply replaced the next time.
  const std::string temp = path + ".tmp";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  bool ok = write_all(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  ::unlink(temp.c_str());
  return false;
}

bool write_data_file(std::string_view folder, std::string_view name, std::string_view bytes) {
  return write_file_atomically(join(folder, name), bytes);
}

std::optional<int64_t> file_modified_time(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<int64_t>(st.st_mtime);
}

}  // namespace vellumite
