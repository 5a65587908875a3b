#include "resources/plugins.h"

#include <algorithm>

#include "resources/game_files.h"
#include "resources/plugin_state.h"
#include "script/command_table.h"
#include "script/readers.h"
#include "script/script_error.h"
#include "shell/engine.h"

namespace vellumite {
namespace {

// The longest registration a scenario may give, in bytes.
constexpr size_t kMaxRegistrationBytes = 255;

void* load_plugin_library(Engine& e, std::string_view file_name) {
  std::string in_game = resolve_game_path(e.platform, file_name);
  if (!in_game.empty()) {
    if (in_game.front() != '/') in_game.insert(0, "./");
    if (void* library = e.platform.open_library(in_game)) return library;
  }
  // The program's own plug-ins are found by their plain file name.
  if (file_name.find_first_of("/\\") != std::string_view::npos) return nullptr;
  const std::string folder = e.platform.own_plugin_folder();
  if (folder.empty()) return nullptr;
  return e.platform.open_library(folder + std::string(file_name));
}

// `spi` and `arc`: one registration "<a>|<b>", stored lower-cased.
void register_plugin(Engine& e, std::vector<std::string>& list) {
  if (list.size() >= kPluginEntryLimit) {
    script_error(e, "エラー", error_message("SPI設定が多すぎます。"));
  }
  std::string entry;
  read_string(e, entry);
  if (entry.find('|') == std::string::npos) {
    script_error(e, "エラー", error_message("プラグインの指定に「|」がありません。:%s", entry));
  }
  if (entry.size() > kMaxRegistrationBytes) {
    script_error(e, "エラー", error_message("プラグインの指定が長すぎます。:%s", entry));
  }
  // Only ASCII letters change: Shift-JIS second bytes in the letter range
  // would otherwise turn into other characters.
  bool second_byte = false;
  for (char& c : entry) {
    const auto b = static_cast<unsigned char>(c);
    if (second_byte) {
      second_byte = false;
    } else if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
      second_byte = true;
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c + 32);
    }
  }
  list.push_back(std::move(entry));
}

void cmd_spi(Engine& e) { register_plugin(e, e.plugins.picture_plugins); }
void cmd_arc(Engine& e) { register_plugin(e, e.plugins.archive_plugins); }

}  // namespace

bool own_picture_type(std::string_view extension) {
  return extension == "png" || extension == "jpg" || extension == "jpeg" || extension == "jpe" ||
         extension == "gif";
}

void* get_plugin_module(Engine& e, std::string_view file_name) {
  PluginModule* free_slot = nullptr;
  for (PluginModule& slot : e.plugins.plugin_modules) {
    if (slot.name.empty()) {
      if (free_slot == nullptr) free_slot = &slot;
    } else if (slot.name == file_name) {
      return slot.library;
    }
  }
  if (free_slot == nullptr || file_name.empty()) return nullptr;
  free_slot->library = load_plugin_library(e, file_name);
  free_slot->name = file_name;
  return free_slot->library;
}

void* plugin_symbol(Engine& e, std::string_view file_name, const char* symbol) {
  return e.platform.library_symbol(get_plugin_module(e, file_name), symbol);
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

void unload_plugins(Engine& e) {
  for (PluginModule& slot : e.plugins.plugin_modules) {
    if (slot.library != nullptr) e.platform.close_library(slot.library);
    slot.library = nullptr;
    slot.name.clear();
  }
}

void bind_plugin_commands(CommandBinder& binder) {
  binder.bind("spi", cmd_spi);
  binder.bind("arc", cmd_arc);
}

}  // namespace vellumite
