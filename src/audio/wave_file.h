// Sound files decoded by libsndfile from bytes in memory: WAVE (PCM 8 and
// 16 bit, mono or stereo, IMA ADPCM and the other codecs it knows), OGG
// Vorbis and FLAC.
#pragma once

#include <memory>
#include <string>

#include "audio/decoder.h"

namespace vellumite {

// For a RIFF file: whether every chunk fits inside the file (no size that
// claims more bytes than follow it or overflows) and both the "fmt " and
// "data" chunks are there. Other files are left to the decoder: true.
bool wave_chunks_fit(std::string_view bytes);

// A decoder over `bytes`, or null when the file is not one it can read
// (an unreadable format, or a RIFF file whose chunks do not fit).
std::unique_ptr<Decoder> open_sound_bytes(std::string bytes);

}  // namespace vellumite
