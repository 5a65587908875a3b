#include "platform/shared_libraries.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace vellumite {
namespace fs = std::filesystem;

namespace {

// One of our plug-ins marks a folder as the plug-in folder.
constexpr const char* kMarker = "vellumite-picture.so";

bool holds_plugins(const fs::path& folder) {
  std::error_code ec;
  return !folder.empty() && fs::is_regular_file(folder / kMarker, ec);
}

}  // namespace

void* load_shared_library(const std::string& path) {
  if (path.find('/') == std::string::npos) return nullptr;
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* shared_library_symbol(void* library, const char* name) {
  return library == nullptr ? nullptr : dlsym(library, name);
}

void unload_shared_library(void* library) {
  if (library != nullptr) dlclose(library);
}

std::string find_own_plugin_folder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec && holds_plugins(exe.parent_path())) return exe.parent_path().string() + "/";
#ifdef VELLUMITE_PLUGIN_BUILD_DIR
  if (holds_plugins(VELLUMITE_PLUGIN_BUILD_DIR))
    return std::string(VELLUMITE_PLUGIN_BUILD_DIR) + "/";
#endif
  return "";
}

}  // namespace vellumite
