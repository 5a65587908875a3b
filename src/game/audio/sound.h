// The players' operations, for the commands and for the rest of the engine
// (click waits, the window procedure, resets and the exit).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "game/engine.h"

namespace vellumite {

// WAVE: one channel; starting a sound stops the one before.
// 1 when a sound started or nothing was to be played, 0 when the file cannot
// be read or its plug-in cannot be used.
int play_wave(Engine& e, std::string_view name, bool loop);
void stop_wave(Engine& e);
// Whether auto mode must go on waiting: a sound started once still plays.
bool voice_still_playing(Engine& e);
// The click voice at the end of a click wait of `cursor_kind`.
void play_click_voice(Engine& e, int cursor_kind);

// MIDI.
int play_midi(Engine& e, std::string_view name, bool loop);
int stop_midi(Engine& e);
int replay_midi(Engine& e);

// CD tracks.
void play_music(Engine& e, int track, bool loop);
void stop_cd(Engine& e);
void close_cd(Engine& e);
// The folders of the game folder that hold CD tracks (trackNN files), as
// their names: "cd" first, then the others in name order.
std::vector<std::string> cd_track_folders(Platform& platform);

// MP3 (`mp3`, `mp3loop`; a saved game's music).
void play_mp3(Engine& e, std::string_view name, bool loop);
void stop_mp3(Engine& e);

// Everything: CD (without a fade when `fade` is false), MIDI, WAVE, MP3.
void stop_all_sound(Engine& e, bool fade);
// Timer 1: restarts an ended MIDI loop, and notices a CD track's end.
void audio_timer_tick(Engine& e);
// Whether audio_timer_tick() has anything to watch: a MIDI loop or a CD track
// still playing.
bool audio_needs_timer(const Engine& e);
// A media notification: the end of a CD track (code 1) restarts a loop.
void cd_notify(Engine& e, uint32_t code);
// Every cycle start: the players' per-cycle state.
void reset_audio_cycle(Engine& e);
// Connects the mixer to the platform (and disconnects it).
void attach_audio(Engine& e);
void detach_audio(Engine& e);

// The trace line `audio <player> <action> "<name>" loop=<0|1>`.
void trace_audio(Engine& e, Channel channel, std::string_view action, std::string_view name_sjis,
                 bool loop);

}  // namespace vellumite
