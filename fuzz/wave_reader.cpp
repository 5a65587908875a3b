// Feeds arbitrary bytes to the sound file reader as a whole file in memory
// and decodes every frame it offers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellumite;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<Decoder> decoder = open_sound_bytes(bytes);
  if (decoder == nullptr) return 0;
  if (decoder->channels() < 1 || decoder->rate() < 1) std::abort();
  std::vector<float> frames(1024 * static_cast<size_t>(decoder->channels()));
  // A small file cannot hold more than a few million frames even packed.
  for (int block = 0; block < 4096; ++block) {
    if (decoder->read(frames.data(), 1024) == 0) break;
  }
  return 0;
}
