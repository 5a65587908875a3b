#include "platform/posix_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

namespace vellumite {
namespace {

std::string temp_root() {
  const char* tmp = std::getenv("TMPDIR");
  std::string root = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  if (root.back() != '/') root += '/';
  return root;
}

std::string user_folder() { return temp_root() + "vellumite-" + std::to_string(getuid()) + "/"; }

bool make_folder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
  return false;
}

}  // namespace

bool acquire_instance_lock() {
  static int held_fd = -1;  // the lock lives as long as the process
  if (held_fd >= 0) return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string path = (runtime != nullptr && *runtime != '\0')
                         ? std::string(runtime) + "/VorazOrid2.lock"
                         : temp_root() + "VorazOrid2-" + std::to_string(getuid()) + ".lock";
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;  // no lock possible: do not keep the player out
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  held_fd = fd;
  return true;
}

std::string prepare_scratch_folder() {
  std::string parent = user_folder();
  std::string folder = parent + "Velm/";
  // The folder may be removed by another instance's exit in between; retry a
  // few times, then give up rather than wait for ever.
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (make_folder(parent) && make_folder(folder)) return folder;
    usleep(10000);
  }
  return "";
}

namespace {

// The user's configuration folder for this program, without a trailing '/';
// empty when neither XDG_CONFIG_HOME nor HOME is set.
std::string config_folder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config != nullptr && *config != '\0') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return "";
    folder = std::string(home) + "/.config";
  }
  return folder + "/vellumite";
}

std::string placement_file(bool create_folder) {
  std::string folder = config_folder();
  if (folder.empty()) return "";
  if (create_folder) {
    make_folder(folder.substr(0, folder.rfind('/')));
    if (!make_folder(folder)) return "";
  }
  return folder + "/window";
}

// Creates `folder` and the folders above it that are missing.
bool make_folders(const std::string& folder) {
  if (folder.empty()) return true;
  for (size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    make_folder(folder.substr(0, slash));
  }
  return make_folder(folder);
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

bool load_window_placement(WindowPlacement& placement) {
  std::string path = placement_file(false);
  if (path.empty()) return false;
  FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return false;
  WindowPlacement p;
  bool ok = std::fscanf(file, "%d %d %d %d", &p.x, &p.y, &p.width, &p.height) == 4 && p.width > 0 &&
            p.height > 0;
  std::fclose(file);
  if (ok) placement = p;
  return ok;
}

void save_window_placement(const WindowPlacement& placement) {
  std::string path = placement_file(true);
  if (path.empty()) return;
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return;
  std::fprintf(file, "%d %d %d %d\n", placement.x, placement.y, placement.width, placement.height);
  std::fclose(file);
}

std::string settings_file_path() {
  std::string folder = config_folder();
  return folder.empty() ? "" : folder + "/settings.ini";
}

std::optional<std::string> read_whole_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(text).str();
}

std::string user_data_folder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && *data != '\0') return data;
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return "";
  return std::string(home) + "/.local/share";
}

LocalTime local_calendar(int64_t seconds, bool utc) {
  const auto t = static_cast<time_t>(seconds);
  struct tm parts {};
  if ((utc ? gmtime_r(&t, &parts) : localtime_r(&t, &parts)) == nullptr) return LocalTime{};
  return LocalTime{.year = parts.tm_year + 1900,
                   .month = parts.tm_mon + 1,
                   .day = parts.tm_mday,
                   .hour = parts.tm_hour,
                   .minute = parts.tm_min,
                   .second = parts.tm_sec};
}

bool replace_file(const std::string& path, std::string_view bytes) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
  if (!make_folders(folder)) return false;
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = write_all(fd, bytes) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  unlink(temp.c_str());
  return false;
}

void remove_scratch_folder_if_empty() {
  std::string parent = user_folder();
  rmdir((parent + "Velm").c_str());
  rmdir(parent.c_str());
}

}  // namespace vellumite
