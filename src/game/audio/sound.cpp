#include "game/audio/sound.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "audio/midi_synth.h"
#include "audio/wave_file.h"
#include "base/sjis.h"
#include "game/audio/sound_source.h"
#include "platform/trace_text.h"
#include "resources/game_files.h"

namespace vellumite {
namespace {

constexpr uint32_t kNotifySuccessful = 1;
constexpr int kCdRetriggerTrack = 9999;
// The file types a CD track may be stored as, in the order they are tried.
constexpr const char* kTrackTypes[] = {"ogg", "flac", "wav", "mp3"};

}  // namespace

void trace_audio(Engine& e, Channel channel, std::string_view action, std::string_view name_sjis,
                 bool loop) {
  if (!e.automation.tracing()) return;
  std::string fields(channel_name(channel));
  fields += ' ';
  fields += action;
  fields += ' ';
  fields += quote_trace_string(to_utf8(name_sjis));
  fields += loop ? " loop=1" : " loop=0";
  e.automation.trace("audio", fields);
}

// --- WAVE -----------------------------------------------------------------

int play_wave(Engine& e, std::string_view name, bool loop) {
  AudioState& a = e.audio;
  stop_wave(e);
  if (name.empty() || !e.shell.wave_enabled || e.shell.skip_to_choice) return 1;
  std::string bytes;
  // Not found, or a type nothing plays: silence; a packed type whose plug-in
  // cannot be used: failure.
  switch (sound_bytes(e, name, "wav", bytes)) {
    case SoundSource::Missing: return 1;
    case SoundSource::Unusable: return 0;
    case SoundSource::Found: break;
  }
  a.wave_looping = false;
  std::unique_ptr<Decoder> decoder = open_sound_bytes(std::move(bytes));
  if (decoder == nullptr) return 0;
  a.wave_loop = loop;
  a.wave_name = name;
  if (!a.mixer.start(Channel::Wave, std::move(decoder), loop)) return 0;
  a.wave_looping = loop;
  trace_audio(e, Channel::Wave, "start", name, loop);
  return 1;
}

void stop_wave(Engine& e) {
  AudioState& a = e.audio;
  if (!a.wave_name.empty() && a.mixer.playing(Channel::Wave))
    trace_audio(e, Channel::Wave, "stop", a.wave_name, a.wave_looping);
  a.wave_name.clear();
  a.wave_looping = false;
  a.mixer.stop(Channel::Wave);
}

bool voice_still_playing(Engine& e) {
  AudioState& a = e.audio;
  if (a.wave_looping) return false;  // a looping sound is no voice
  return a.mixer.playing(Channel::Wave);
}

void play_click_voice(Engine& e, int cursor_kind) {
  const std::string& voice = cursor_kind == 2 ? e.audio.page_voice : e.audio.line_voice;
  if (!voice.empty() && !e.shell.skip_to_choice) play_wave(e, voice, false);
}

// --- MIDI -----------------------------------------------------------------

int play_midi(Engine& e, std::string_view name, bool loop) {
  AudioState& a = e.audio;
  stop_midi(e);
  a.midi_loop = false;
  if (name.empty()) return 1;
  a.midi_name = name;
  std::string bytes;
  switch (sound_bytes(e, name, "mid", bytes)) {
    case SoundSource::Missing: return 1;
    case SoundSource::Unusable: return 0;
    case SoundSource::Found: break;
  }
  if (!a.soundfont_searched) {
    a.soundfont = find_soundfont(e.platform);
    a.soundfont_searched = true;
  }
  std::unique_ptr<Decoder> decoder = open_midi_bytes(bytes, a.soundfont);
  if (decoder == nullptr || !a.mixer.start(Channel::Midi, std::move(decoder), false)) return 0;
  a.midi_open = true;
  a.midi_loop = loop;
  trace_audio(e, Channel::Midi, "start", name, loop);
  return 1;
}

int replay_midi(Engine& e) {
  AudioState& a = e.audio;
  if (!a.midi_open || !a.mixer.restart(Channel::Midi)) return 0;
  trace_audio(e, Channel::Midi, "start", a.midi_name, a.midi_loop);
  return 1;
}

int stop_midi(Engine& e) {
  AudioState& a = e.audio;
  if (!a.midi_open) return 1;
  if (a.mixer.playing(Channel::Midi))
    trace_audio(e, Channel::Midi, "stop", a.midi_name, a.midi_loop);
  a.mixer.stop(Channel::Midi);
  a.midi_open = false;
  a.midi_name.clear();
  return 1;
}

// --- CD tracks --------------------------------------------------------------

namespace {

std::string track_path(const std::string& folder, int track, const char* type) {
  char name[32];
  std::snprintf(name, sizeof name, "track%02d.%s", track, type);
  return folder + "/" + name;
}

bool holds_tracks(Platform& platform, const std::string& folder) {
  for (int t = 1; t <= 99; ++t) {
    for (const char* type : kTrackTypes) {
      if (platform.path_kind(track_path(folder, t, type)) == PathKind::File) return true;
    }
  }
  return false;
}

void open_cd(Engine& e) {
  AudioState& a = e.audio;
  if (a.cd_failed || !e.shell.cdda_enabled) return;
  a.cd_folder = e.shell.cd_drive.empty() ? std::string("cd") : e.shell.cd_drive;
  a.cd_tracks = 0;
  for (int t = 1; t <= 99; ++t) {
    for (const char* type : kTrackTypes) {
      if (e.platform.path_kind(track_path(a.cd_folder, t, type)) == PathKind::File) a.cd_tracks = t;
    }
  }
  // No disc: CD audio stays silent for the rest of the run.
  if (a.cd_tracks == 0) {
    a.cd_failed = true;
    return;
  }
  a.cd_open = true;
}

void cd_stop(Engine& e) {
  AudioState& a = e.audio;
  if (a.cd_failed || !e.shell.cdda_enabled || !a.cd_open || !a.cd_playing) return;
  a.cd_playing = false;
  a.mixer.stop(Channel::Cd);
}

std::unique_ptr<Decoder> open_track(Platform& platform, const std::string& folder, int track) {
  for (const char* type : kTrackTypes) {
    std::string path = track_path(folder, track, type);
    const std::optional<uint64_t> size = platform.file_size(path);
    if (!size) continue;
    std::string bytes(static_cast<size_t>(*size), '\0');
    const std::optional<size_t> got = platform.read_file_into(path, bytes.data(), bytes.size());
    if (!got) continue;
    bytes.resize(*got);
    if (auto d = open_sound_bytes(std::move(bytes))) return d;
  }
  return nullptr;
}

void cd_play_track(Engine& e, int track) {
  AudioState& a = e.audio;
  if (a.cd_failed || !e.shell.cdda_enabled) return;
  if (!a.cd_open) open_cd(e);
  if (!a.cd_open) return;
  if (a.cd_playing) cd_stop(e);
  track = std::min(track, a.cd_tracks);
  // A missing or unreadable track stays silent and sends no notification.
  if (!a.mixer.start(Channel::Cd, open_track(e.platform, a.cd_folder, track), false)) return;
  a.cd_playing = true;
  a.cd_end_noticed = false;
}

void fade_out_cd(Engine& e, int32_t fade_ms) {
  AudioState& a = e.audio;
  a.cd_track = kCdNoTrack;
  const float volume = a.mixer.volume(Channel::Cd);
  const int32_t step = fade_ms / 100;
  // 99 steps down, each sleep shortened by the time the step took.
  for (int k = 99; k >= 1; --k) {
    uint32_t t0 = e.platform.ticks();
    a.mixer.set_volume(Channel::Cd, volume * static_cast<float>(k) / 100.0F);
    int32_t spent = static_cast<int32_t>(e.platform.ticks() - t0);
    e.platform.sleep(static_cast<uint32_t>(std::max(1, step - spent)));
  }
  cd_stop(e);
  a.mixer.set_volume(Channel::Cd, volume);
}

}  // namespace

void stop_cd(Engine& e) {
  AudioState& a = e.audio;
  if (a.cd_track == kCdNoTrack) return;
  bool fade = a.cd_fade_ms > 0 && !e.shell.cd_fade_disabled;
  if (a.cd_playing && a.mixer.playing(Channel::Cd)) {
    trace_audio(e, Channel::Cd, fade ? "fade" : "stop", std::to_string(a.cd_track), a.cd_loop);
  }
  if (fade) {
    fade_out_cd(e, a.cd_fade_ms);
    return;
  }
  cd_stop(e);
  a.cd_track = kCdNoTrack;
}

std::vector<std::string> cd_track_folders(Platform& platform) {
  std::vector<std::string> others;
  for (std::string& name : platform.list_folder(".")) {
    if (platform.path_kind(name) != PathKind::Folder) continue;
    if (name != "cd" && holds_tracks(platform, name)) others.push_back(std::move(name));
  }
  std::sort(others.begin(), others.end());
  std::vector<std::string> folders;
  if (holds_tracks(platform, "cd")) folders.emplace_back("cd");
  folders.insert(folders.end(), others.begin(), others.end());
  return folders;
}

void close_cd(Engine& e) {
  AudioState& a = e.audio;
  if (a.cd_failed || !e.shell.cdda_enabled || !a.cd_open) return;
  if (a.cd_playing) cd_stop(e);
  a.cd_open = false;
}

void play_music(Engine& e, int track, bool loop) {
  AudioState& a = e.audio;
  if (track == 0) {
    stop_cd(e);
    return;
  }
  // The track that is playing goes on, loop setting and all.
  if (track == a.cd_track && a.cd_playing && a.mixer.playing(Channel::Cd)) return;
  stop_cd(e);
  a.cd_track = track;
  a.cd_loop = loop;
  cd_play_track(e, track);
  if (a.cd_playing) trace_audio(e, Channel::Cd, "start", std::to_string(track), loop);
}

// --- MP3 ---------------------------------------------------------------------

void play_mp3(Engine& e, std::string_view name, bool loop) {
  AudioState& a = e.audio;
  stop_mp3(e);
  a.mp3_loop = false;
  if (name.empty()) return;
  a.mp3_name = name;
  std::optional<LocatedSound> located = locate_sound(e, name);
  if (!located) return;  // not found: nothing starts
  a.mp3_loop = loop;
  // An unreadable file starts a playback that ends at once, as an empty one.
  const std::optional<uint64_t> size = e.platform.file_size(located->path);
  std::string bytes(static_cast<size_t>(size.value_or(0)), '\0');
  bytes.resize(e.platform.read_file_into(located->path, bytes.data(), bytes.size()).value_or(0));
  a.mp3.play(std::move(bytes), loop);
  release_sound(e, *located);
  trace_audio(e, Channel::Mp3, "start", name, loop);
}

void stop_mp3(Engine& e) {
  AudioState& a = e.audio;
  if (a.mp3_name.empty()) return;
  if (a.mp3.active()) trace_audio(e, Channel::Mp3, "stop", a.mp3_name, a.mp3_loop);
  a.mp3.stop(&e.platform);
  a.mp3_name.clear();
}

// --- the whole ----------------------------------------------------------------

void stop_all_sound(Engine& e, bool fade) {
  AudioState& a = e.audio;
  int32_t fade_ms = a.cd_fade_ms;
  if (!fade) a.cd_fade_ms = 0;
  stop_cd(e);
  a.cd_fade_ms = fade_ms;
  stop_midi(e);
  stop_wave(e);
  stop_mp3(e);
  a.mixer.stop(Channel::Film);
  a.video_playing = false;
}

void audio_timer_tick(Engine& e) {
  AudioState& a = e.audio;
  if (a.midi_loop && a.midi_open && !a.mixer.playing(Channel::Midi)) replay_midi(e);
  if (a.cd_playing && !a.cd_end_noticed && !a.mixer.playing(Channel::Cd)) {
    a.cd_end_noticed = true;
    e.platform.post_message(Message{MessageKind::MediaNotify, 0, 0, kNotifySuccessful});
  }
}

bool audio_needs_timer(const Engine& e) {
  const AudioState& a = e.audio;
  return (a.midi_loop && a.midi_open) || (a.cd_playing && !a.cd_end_noticed);
}

void cd_notify(Engine& e, uint32_t code) {
  AudioState& a = e.audio;
  if (code != kNotifySuccessful || !a.cd_loop || a.cd_track == kCdNoTrack) return;
  int32_t fade_ms = a.cd_fade_ms;
  a.cd_fade_ms = 0;
  int track = a.cd_track;
  a.cd_track = kCdRetriggerTrack;
  play_music(e, track, true);
  a.cd_fade_ms = fade_ms;
}

void reset_audio_cycle(Engine& e) {
  AudioState& a = e.audio;
  stop_all_sound(e, false);
  a.cd_track = kCdNoTrack;
  a.cd_fade_ms = 1000;
  a.midi_name.clear();
  a.wave_loop = false;
  a.sound_plugins.clear();
  a.line_voice.clear();
  a.page_voice.clear();
}

void attach_audio(Engine& e) { e.platform.attach_audio(&e.audio.mixer); }
void detach_audio(Engine& e) { e.platform.attach_audio(nullptr); }

}  // namespace vellumite
