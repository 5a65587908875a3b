// The script's sound commands.
#include <algorithm>
#include <cstdlib>

#include "game/audio/film.h"
#include "game/audio/sound.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

// `play` and `playonce`: "*N" is CD track N, anything else a MIDI file.
void play_command(Engine& e, bool loop) {
  std::string name;
  read_string(e, name);
  if (!name.empty() && name[0] == '*') {
    play_music(e, std::atoi(name.c_str() + 1), loop);
  } else {
    play_midi(e, name, loop);
  }
}

void cmd_play(Engine& e) { play_command(e, true); }
void cmd_playonce(Engine& e) { play_command(e, false); }

void cmd_stop(Engine& e) {
  stop_cd(e);
  stop_midi(e);
  stop_wave(e);
}

void cmd_playstop(Engine& e) {
  stop_cd(e);
  stop_midi(e);
}

void cmd_cdfadeout(Engine& e) { e.audio.cd_fade_ms = read_number(e); }

void cmd_soundpressplgin(Engine& e) {
  AudioState& a = e.audio;
  if (a.sound_plugins.size() >= kSoundPluginLimit) {
    script_error(e, "エラー", error_message("Sound press plug-in設定が多すぎます。"));
  }
  std::string entry;
  read_string(e, entry);
  std::transform(entry.begin(), entry.end(), entry.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  a.sound_plugins.push_back(std::move(entry));
}

void cmd_wave(Engine& e) {
  std::string name;
  read_string(e, name);
  if (name.empty()) {
    stop_wave(e);
  } else {
    play_wave(e, name, false);
  }
}

void cmd_waveloop(Engine& e) {
  std::string name;
  read_string(e, name);
  play_wave(e, name, true);
}

void cmd_wavestop(Engine& e) { stop_wave(e); }

void cmd_mp3(Engine& e) {
  std::string name;
  read_string(e, name);
  play_mp3(e, name, false);
}

void cmd_mp3loop(Engine& e) {
  std::string name;
  read_string(e, name);
  play_mp3(e, name, true);
}

void cmd_avi(Engine& e) {
  std::string name;
  read_string(e, name);
  expect_comma(e);
  int32_t click_to_stop = read_number(e);
  play_video(e, name, click_to_stop != 0);
}

void cmd_clickvoice(Engine& e) {
  std::string line;
  std::string page;
  read_string(e, line);
  expect_comma(e);
  read_string(e, page);
  e.audio.line_voice = std::move(line);
  e.audio.page_voice = std::move(page);
}

}  // namespace

void bind_sound_commands(CommandBinder& binder) {
  binder.bind("play", cmd_play);
  binder.bind("playonce", cmd_playonce);
  binder.bind("stop", cmd_stop);
  binder.bind("playstop", cmd_playstop);
  binder.bind("cdfadeout", cmd_cdfadeout);
  binder.bind("soundpressplgin", cmd_soundpressplgin);
  binder.bind("wave", cmd_wave);
  binder.bind("waveloop", cmd_waveloop);
  binder.bind("wavestop", cmd_wavestop);
  binder.bind("clickvoice", cmd_clickvoice);
  binder.bind("mp3", cmd_mp3);
  binder.bind("mp3loop", cmd_mp3loop);
  binder.bind("avi", cmd_avi);
}

}  // namespace vellumite
