#include "resources/data_files.h"

#include "platform/platform.h"
#include "resources/plain_files.h"

namespace vellumite {
namespace {

std::string join(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += name;
  return path;
}

}  // namespace

bool game_folder_writable(Platform& platform) {
  const std::string probe = ".vellumite-write-probe";
  if (!platform.write_file(probe, "")) return false;
  platform.remove_file(probe);
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

std::string current_folder_name(Platform& platform) {
  std::string here = platform.current_folder();
  while (here.size() > 1 && here.back() == '/') here.pop_back();
  const size_t slash = here.rfind('/');
  return slash == std::string::npos ? here : here.substr(slash + 1);
}

std::string find_data_file(Platform& platform, std::string_view folder, std::string_view name) {
  if (!folder.empty()) {
    std::string path = join(folder, name);
    if (platform.path_kind(path) == PathKind::File) return path;
  }
  std::string path(name);
  if (platform.path_kind(path) == PathKind::File) return path;
  return "";
}

std::optional<std::string> read_data_file(Platform& platform, std::string_view folder,
                                          std::string_view name, size_t max_bytes) {
  const std::string path = find_data_file(platform, folder, name);
  if (path.empty()) return std::nullopt;
  return read_file_at(platform, path, max_bytes);
}

bool write_data_file(Platform& platform, std::string_view folder, std::string_view name,
                     std::string_view bytes) {
  return platform.write_file(join(folder, name), bytes);
}

}  // namespace vellumite
