// Plug-ins: shared libraries a game registers with `spi` (pictures) and `arc`
// (archives), and the sound-press plug-ins of `soundpressplgin`, all loaded
// through one cache. A registered library that cannot be loaded here (a
// Windows library) is replaced by the program's own plug-in for the same
// job: vellumite-picture.so for the picture types it reads, and
// vellumite-archive.so for archives.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vellumite {

class Platform;
struct PluginState;

// The program's own plug-ins, by file name.
constexpr std::string_view kOwnPicturePlugin = "vellumite-picture.so";
constexpr std::string_view kOwnArchivePlugin = "vellumite-archive.so";

// Whether the program's own picture plug-in reads pictures of this
// (lower-case) extension.
bool own_picture_type(std::string_view extension);

// The library of plug-in `file_name` (Shift-JIS, as registered): the cache
// slot of that exact name, else the first free slot, filled with the library
// from the game folder or, failing that, from the folder of the program's
// own plug-ins. A library that cannot be loaded still takes its slot (null).
// Null when the library cannot be loaded or all slots hold other names.
void* get_plugin_module(Platform& platform, PluginState& p, std::string_view file_name);

// The exported `symbol` of plug-in `file_name`, or null.
void* plugin_symbol(Platform& platform, PluginState& p, std::string_view file_name,
                    const char* symbol);

// The plug-in registered with `spi` for `extension` (lower-case), the first
// in registration order, or nullopt.
std::optional<std::string> find_picture_plugin(const PluginState& p, std::string_view extension);

// The part of a registration before its first '|' and the part after it.
std::pair<std::string_view, std::string_view> split_registration(std::string_view entry);

// Empties the registries (every start of the scenario); loaded libraries stay.
void reset_plugin_registries(PluginState& p);
// Unloads every library and frees its slot (the end of the program).
void unload_plugins(Platform& platform, PluginState& p);

}  // namespace vellumite
