#include "game/audio/sound_source.h"

#include <vellumite/plugin.h>

#include <algorithm>

#include "game/engine.h"
#include "game/resources/archives.h"
#include "resources/game_files.h"
#include "resources/plain_files.h"
#include "resources/plugins.h"

namespace vellumite {
namespace {

std::string lower_type(std::string_view name) {
  size_t dot = name.rfind('.');
  std::string type(dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1));
  for (char& c : type) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return type;
}

// No sound file is read past this.
constexpr size_t kMaxSoundFileBytes = size_t{1} << 31;

}  // namespace

const std::string* sound_plugin_for(const AudioState& a, std::string_view type) {
  for (const std::string& entry : a.sound_plugins) {
    if (split_registration(entry).second == type && entry.find('|') != std::string::npos) {
      return &entry;
    }
  }
  return nullptr;
}

std::optional<LocatedSound> locate_sound(Engine& e, std::string_view name_sjis) {
  std::string path = resolve_game_path_logged(e.platform, name_sjis);
  if (!path.empty()) return LocatedSound{std::move(path), false};
  std::optional<std::string> extracted = find_in_archives(e, name_sjis);
  if (!extracted) return std::nullopt;
  return LocatedSound{std::move(*extracted), true};
}

void release_sound(Engine& e, LocatedSound& sound) {
  if (sound.temporary) e.platform.remove_file(sound.path);
  sound.temporary = false;
}

SoundSource sound_bytes(Engine& e, std::string_view name_sjis, std::string_view standard_type,
                        std::string& bytes) {
  std::optional<LocatedSound> located = locate_sound(e, name_sjis);
  if (!located) return SoundSource::Missing;
  const std::string type = lower_type(name_sjis);
  if (type == standard_type) {
    std::optional<std::string> read = read_file_at(e.platform, located->path, kMaxSoundFileBytes);
    release_sound(e, *located);
    if (!read) return SoundSource::Missing;
    bytes = std::move(*read);
    return SoundSource::Found;
  }
  const std::string* entry = sound_plugin_for(e.audio, type);
  if (entry == nullptr) {
    release_sound(e, *located);
    return SoundSource::Missing;
  }
  const std::string library(split_registration(*entry).first);
  auto expand =
      reinterpret_cast<VellumiteExpand>(plugin_symbol(e.platform, e.plugins, library, "expand"));
  if (expand == nullptr || e.shell.temp_folder.empty()) {
    release_sound(e, *located);
    return SoundSource::Unusable;
  }
  const std::string destination = e.shell.temp_folder + "Velmtmp." + std::string(standard_type);
  e.platform.prepare_temp_folder();  // see find_in_archives
  e.platform.remove_file(destination);
  expand(located->path.c_str(), destination.c_str());
  release_sound(e, *located);
  std::optional<std::string> read = read_file_at(e.platform, destination, kMaxSoundFileBytes);
  e.platform.remove_file(destination);
  if (!read) return SoundSource::Unusable;
  bytes = std::move(*read);
  return SoundSource::Found;
}

}  // namespace vellumite
