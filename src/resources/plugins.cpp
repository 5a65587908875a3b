#include "resources/plugins.h"

#include "platform/platform.h"
#include "resources/game_files.h"
#include "resources/plugin_state.h"

namespace vellumite {
namespace {

void* load_plugin_library(Platform& platform, std::string_view file_name) {
  std::string in_game = resolve_game_path(platform, file_name);
  if (!in_game.empty()) {
    if (in_game.front() != '/') in_game.insert(0, "./");
    if (void* library = platform.open_library(in_game)) return library;
  }
  // The program's own plug-ins are found by their plain file name.
  if (file_name.find_first_of("/\\") != std::string_view::npos) return nullptr;
  const std::string folder = platform.own_plugin_folder();
  if (folder.empty()) return nullptr;
  return platform.open_library(folder + std::string(file_name));
}

}  // namespace

bool own_picture_type(std::string_view extension) {
  return extension == "png" || extension == "jpg" || extension == "jpeg" || extension == "jpe" ||
         extension == "gif";
}

void* get_plugin_module(Platform& platform, PluginState& p, std::string_view file_name) {
  PluginModule* free_slot = nullptr;
  for (PluginModule& slot : p.plugin_modules) {
    if (slot.name.empty()) {
      if (free_slot == nullptr) free_slot = &slot;
    } else if (slot.name == file_name) {
      return slot.library;
    }
  }
  if (free_slot == nullptr || file_name.empty()) return nullptr;
  free_slot->library = load_plugin_library(platform, file_name);
  free_slot->name = file_name;
  return free_slot->library;
}

void* plugin_symbol(Platform& platform, PluginState& p, std::string_view file_name,
                    const char* symbol) {
  return platform.library_symbol(get_plugin_module(platform, p, file_name), symbol);
}

std::pair<std::string_view, std::string_view> split_registration(std::string_view entry) {
  const size_t bar = entry.find('|');
  if (bar == std::string_view::npos) return {entry, {}};
  return {entry.substr(0, bar), entry.substr(bar + 1)};
}

std::optional<std::string> find_picture_plugin(const PluginState& p, std::string_view extension) {
  for (const std::string& entry : p.picture_plugins) {
    auto [plugin, type] = split_registration(entry);
    if (type == extension) return std::string(plugin);
  }
  return std::nullopt;
}

void reset_plugin_registries(PluginState& p) {
  p.picture_plugins.clear();
  p.archive_plugins.clear();
}

void unload_plugins(Platform& platform, PluginState& p) {
  for (PluginModule& slot : p.plugin_modules) {
    if (slot.library != nullptr) platform.close_library(slot.library);
    slot.library = nullptr;
    slot.name.clear();
  }
}

}  // namespace vellumite
