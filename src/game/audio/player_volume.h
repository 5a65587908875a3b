// The players' volumes: music (MIDI, CD tracks, MP3), sound (WAVE) and film,
// each in percent. The player changes them with F3/F4 (film), F5/F6 (music)
// and F7/F8 (sound), down or up by 10; they are kept in the player's
// settings file, section [volume], keys music, sound and film.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "game/engine.h"

namespace vellumite {

enum class VolumeGroup : uint8_t { Music, Sound, Film };

// The [volume] section of a settings text. Values are clamped to 0..100; a
// missing, unreadable or unknown entry leaves the value in `volumes` as it was.
void parse_volume_settings(std::string_view text, VolumePercents& volumes);
std::string format_volume_settings(const VolumePercents& volumes);

// At start: reads the settings through the platform and sets the mixer's
// channels; traces `volume <group> <percent>` for each group when a settings
// file was read.
void load_player_volumes(Engine& e);
// A volume key changes its group by 10 %, sets the mixer, traces the new
// value and writes the settings. False for any other key.
bool volume_key(Engine& e, uint32_t key);

}  // namespace vellumite
