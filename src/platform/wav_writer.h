// Writes mixed sound as a 16-bit stereo PCM WAVE file (`--audio-out`).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/backend_only.h"

namespace vellumite {

class WavWriter {
 public:
  // Opens `path` for writing; ok() is false when it cannot.
  WavWriter(const std::string& path, int rate);
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  bool ok() const { return file_ != nullptr; }
  // Appends interleaved stereo float frames (clipped to the 16-bit range).
  void write(const float* stereo, size_t frames);

 private:
  void write_header();

  std::FILE* file_ = nullptr;
  int rate_ = 0;
  uint64_t frames_ = 0;
};

}  // namespace vellumite
