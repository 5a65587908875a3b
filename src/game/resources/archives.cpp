#include "game/resources/archives.h"

#include <vellumite/plugin.h>

#include <array>
#include <cstring>

#include "base/sjis.h"
#include "game/engine.h"
#include "platform/trace_text.h"
#include "resources/game_files.h"
#include "resources/plugin_state.h"
#include "resources/plugins.h"
#include "resources/scratch_files.h"

namespace vellumite {
namespace {

constexpr size_t kMaxNameBytes = 255;
// The file-information record handed to GetFileInfo; the plug-in may fill up
// to this much.
constexpr size_t kFileInfoBytes = 512;
static_assert(sizeof(VellumiteFileInfo) <= kFileInfoBytes);
static_assert(offsetof(VellumiteFileInfo, position) == 8);

struct ArchiveEntries {
  VellumiteGetFileInfo get_file_info = nullptr;
  VellumiteGetFile get_file = nullptr;
};

// The entry points of an archive plug-in; the program's own archive plug-in
// stands in for one that cannot be loaded here.
ArchiveEntries archive_entries(Engine& e, std::string_view plugin) {
  if (get_plugin_module(e.platform, e.plugins, plugin) == nullptr) plugin = kOwnArchivePlugin;
  ArchiveEntries entries;
  entries.get_file_info = reinterpret_cast<VellumiteGetFileInfo>(
      plugin_symbol(e.platform, e.plugins, plugin, "GetFileInfo"));
  entries.get_file =
      reinterpret_cast<VellumiteGetFile>(plugin_symbol(e.platform, e.plugins, plugin, "GetFile"));
  return entries;
}

void trace_extract(Engine& e, std::string_view name, std::string_view archive) {
  if (!e.automation.tracing()) return;
  e.automation.trace(
      "extract", quote_trace_string(to_utf8(name)) + " " + quote_trace_string(to_utf8(archive)));
}

}  // namespace

std::optional<std::string> find_in_archives(Engine& e, std::string_view name_sjis) {
  const PluginState& p = e.plugins;
  if (p.archive_plugins.empty()) return std::nullopt;
  std::string member(name_sjis.substr(0, kMaxNameBytes));
  for (char& c : member) {
    if (c == '/') c = '\\';
  }
  // The copy is named after the member's base name and nothing else, so no
  // name can reach outside the scratch folder.
  const std::string_view base = base_name(member);
  const std::string& folder = e.shell.temp_folder;
  if (!safe_base_name(base) || folder.empty()) return std::nullopt;

  // Registrations are never removed, but an entry is copied in case a
  // plug-in call leads back into the script.
  const std::vector<std::string> entries = p.archive_plugins;
  for (const std::string& entry : entries) {
    auto [archive, plugin] = split_registration(entry);
    const std::string archive_path = resolve_game_path(e.platform, archive);
    if (archive_path.empty()) continue;
    const ArchiveEntries calls = archive_entries(e, plugin);
    if (calls.get_file_info == nullptr) continue;
    alignas(8) std::array<unsigned char, kFileInfoBytes> record{};
    if (calls.get_file_info(archive_path.c_str(), 0, member.c_str(), VELLUMITE_IGNORE_CASE,
                            reinterpret_cast<VellumiteFileInfo*>(record.data())) != 0) {
      continue;
    }
    uint32_t position = 0;
    std::memcpy(&position, record.data() + 8, sizeof position);
    if (position == 0 || calls.get_file == nullptr) continue;
    // A copy left from before would pass for the member.
    if (std::string old = find_file_in_folder(e.platform, folder, base); !old.empty()) {
      e.platform.remove_file(old);
    }
    // Another instance of the program may remove the shared scratch folder
    // on its way out, even between making it and writing into it: the folder
    // is made again and the member written again, a few times at most.
    std::string extracted;
    for (int attempt = 0; attempt < 3 && extracted.empty(); ++attempt) {
      e.platform.prepare_temp_folder();
      std::string destination = folder;
      if (calls.get_file(archive_path.c_str(), static_cast<int32_t>(position), destination.data(),
                         0, nullptr, 0) == 0) {
        extracted = find_file_in_folder(e.platform, folder, base);
      }
    }
    if (extracted.empty()) continue;
    trace_extract(e, name_sjis, archive);
    return extracted;
  }
  return std::nullopt;
}

}  // namespace vellumite
