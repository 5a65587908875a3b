// The plug-in registries of a game and the cache of loaded plug-in
// libraries.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace vellumite {

// At most this many `spi` and `arc` registrations each.
constexpr size_t kPluginEntryLimit = 50;
// Libraries loaded at once, picture, archive and sound-press plug-ins
// together.
constexpr size_t kPluginModuleSlots = 256;

// One slot of the library cache: in use while `name` is set; `library` is
// null when the library could not be loaded.
struct PluginModule {
  std::string name;
  void* library = nullptr;
};

struct PluginState {
  // "<plug-in>|<extension>" and "<archive>|<plug-in>", lower-cased, in the
  // order of registration. Cleared at every start of the scenario.
  std::vector<std::string> picture_plugins;
  std::vector<std::string> archive_plugins;
  // Loaded from first use until the program ends.
  std::array<PluginModule, kPluginModuleSlots> plugin_modules;
};

}  // namespace vellumite
