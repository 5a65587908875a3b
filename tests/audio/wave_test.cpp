// The WAVE reader: which files play and which play nothing. (One channel,
// skip mode, the WAVE switch, click voices and auto mode waiting for a voice
// are recorded games.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/wave_file.h"
#include "support/sound_files.h"

namespace vellumite::testing {
namespace {

std::string with_u32(std::string bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
  return bytes;
}

size_t decoded_frames(Decoder& d) {
  std::vector<float> buf(4096 * static_cast<size_t>(d.channels()));
  size_t total = 0;
  while (size_t n = d.read(buf.data(), 4096)) total += n;
  return total;
}

TEST(WaveReader, ReadableFilesPlayEveryFrameAndBrokenOnesNothing) {
  const std::string pcm16 = wave_file(44100, 2, 16, 100);
  struct Case {
    const char* what;
    std::string bytes;
    size_t frames;  // 0: plays nothing
  } cases[] = {
      {"8-bit mono", wave_file(22050, 1, 8, 100), 2205},
      {"16-bit stereo", pcm16, 4410},
      {"OGG Vorbis", encoded_file("ogg", 22050, 100), 2205},
      {"FLAC", encoded_file("flac", 22050, 100), 2205},
      {"data claims more than the file holds", pcm16.substr(0, pcm16.size() - 100), 0},
      {"data size overflows", with_u32(pcm16, 40, 0xFFFFFFF8U), 0},
      {"fmt size overflows", with_u32(pcm16, 16, 0xFFFFFFFFU), 0},
      {"no data chunk", pcm16.substr(0, 36), 0},
      {"not a sound", "hello, world", 0},
      {"unknown codec", with_u32(pcm16, 20, 0x0002FFFFU), 0},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<Decoder> d = open_sound_bytes(c.bytes);
    ASSERT_EQ(d != nullptr, c.frames != 0);
    if (d != nullptr) {
      EXPECT_NEAR(static_cast<double>(decoded_frames(*d)), static_cast<double>(c.frames), 2);
    }
  }
}

}  // namespace
}  // namespace vellumite::testing
