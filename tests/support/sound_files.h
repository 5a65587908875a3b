// Sound files made by the tests, and a look at what the mixer produced.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vellumite::testing {

// A PCM WAVE file of a sine tone: `bits` 8 or 16, `channels` 1 or 2.
std::string wave_file(int rate, int channels, int bits, int milliseconds, double amplitude = 0.5);
// The same tone encoded by libsndfile: "ogg" (Vorbis) or "flac".
std::string encoded_file(const std::string& type, int rate, int milliseconds);
// A standard MIDI file with one note held for `milliseconds` (at 120 bpm).
std::string midi_file(int milliseconds);

// The peak level (0 to 1) of every 10 ms of a 16-bit stereo WAVE file such
// as --audio-out writes; empty when it cannot be read.
std::vector<double> levels_per_10ms(const std::string& path);

}  // namespace vellumite::testing
