// State of the players: the mixer, and what each player plays.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/mixer.h"
#include "audio/mp3_player.h"

namespace vellumite {

constexpr size_t kSoundPluginLimit = 50;
constexpr int kCdNoTrack = -1;
// The players' volumes in percent: music, sound and film (player_volume.h).
constexpr size_t kVolumeGroupCount = 3;
using VolumePercents = std::array<int, kVolumeGroupCount>;

struct AudioState {
  Mixer mixer;
  // The player's volumes in percent: music, sound, film.
  VolumePercents volume_percent{100, 100, 100};

  // MIDI.
  bool midi_open = false;
  bool midi_loop = false;
  std::string midi_name;  // as the script wrote it; empty when stopped

  // CD tracks (files cd/trackNN.*).
  int cd_track = kCdNoTrack;  // last requested
  bool cd_loop = false;
  int32_t cd_fade_ms = 1000;
  bool cd_open = false;
  bool cd_playing = false;
  bool cd_failed = false;
  bool cd_end_noticed = false;  // the end notification was posted
  int cd_tracks = 0;            // highest track number found
  std::string cd_folder;        // where the tracks are

  // WAVE.
  bool wave_looping = false;
  bool wave_loop = false;
  std::string wave_name;
  std::string line_voice;  // `clickvoice`
  std::string page_voice;

  // MP3.
  Mp3Player mp3{mixer};
  bool mp3_loop = false;
  std::string mp3_name;  // empty: no MP3 playback

  // A film plays (the window is not repainted meanwhile).
  bool video_playing = false;

  // Sound-press plug-ins: "library|type", lower case.
  std::vector<std::string> sound_plugins;

  // A soundfont found once per process ("" until first needed).
  std::string soundfont;
  bool soundfont_searched = false;
};

}  // namespace vellumite
