// Where the bytes of a sound come from: the game folder, else a registered
// archive; a packed type is first expanded by its sound-press plug-in
// (`soundpressplgin`) into a standard file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vellumite {

struct Engine;
struct AudioState;

// The registered sound-press entry ("library|type") for a file type, or null.
const std::string* sound_plugin_for(const AudioState& a, std::string_view type);

// A sound file on the disk: in the game folder, or a copy taken out of an
// archive that its user removes (release_sound) when done.
struct LocatedSound {
  std::string path;
  bool temporary = false;
};
std::optional<LocatedSound> locate_sound(Engine& e, std::string_view name_sjis);
void release_sound(Engine& e, LocatedSound& sound);

enum class SoundSource {
  Found,     // `bytes` holds the standard file
  Missing,   // not found, or a type nothing plays: nothing to play
  Unusable,  // its sound-press plug-in cannot be used, or left no file
};

// The bytes of the standard file of type `standard_type` ("wav" or "mid")
// that `name_sjis` is or expands to. A packed file is expanded into
// "Velmtmp.<type>" in the scratch folder, read and removed again.
SoundSource sound_bytes(Engine& e, std::string_view name_sjis, std::string_view standard_type,
                        std::string& bytes);

}  // namespace vellumite
