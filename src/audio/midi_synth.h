// MIDI files rendered by FluidSynth with a General MIDI soundfont.
#pragma once

#include <memory>
#include <string>

#include "audio/decoder.h"

namespace vellumite {

class Platform;

// The soundfont to use: a *.sf2 in the game folder (the current directory)
// first, then the system's General MIDI soundfonts; empty when none.
std::string find_soundfont(Platform& platform);

// A decoder that plays the standard MIDI file `bytes` once; null when the
// file or the soundfont cannot be loaded.
std::unique_ptr<Decoder> open_midi_bytes(const std::string& bytes, const std::string& soundfont);

}  // namespace vellumite
