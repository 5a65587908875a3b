// A source of PCM for one stream of the mixer: a WAVE file, a MIDI
// sequence, an MP3, a CD track or a film's sound.
#pragma once

#include <cstddef>

namespace vellumite {

class Decoder {
 public:
  virtual ~Decoder() = default;
  virtual int rate() const = 0;
  virtual int channels() const = 0;
  // Reads up to `frames` frames of interleaved float samples into `out`
  // (room for frames * channels()); returns how many; 0 at the end.
  virtual size_t read(float* out, size_t frames) = 0;
  // Goes back to the start for another pass; false when it cannot.
  virtual bool rewind() = 0;
  // Whether a read that gave nothing was the end. A stream fed from
  // elsewhere (the MP3 player's buffers) may have nothing yet, and more later.
  virtual bool ended() const { return true; }
};

}  // namespace vellumite
