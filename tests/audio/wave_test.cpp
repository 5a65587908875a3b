// The WAVE channel: which files play and which play nothing, and auto mode
// waiting for a voice. (One channel, skip mode, the WAVE switch and click
// voices are recorded games.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/wave_file.h"
#include "support/game_runner.h"
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

TEST(WaveChannel, AutoModeWaitsWhileAVoicePlays) {
  struct Case {
    const char* command;
    uint32_t min_ms, max_ms;  // from the sound's start to the end of the wait
  } cases[] = {
      {"wave", 1000, 1100},    // the voice's length
      {"waveloop", 300, 400},  // a looping sound is no voice: only the time counts
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    GameDir dir;
    dir.write_bytes("v.wav", wave_file(22050, 1, 16, 1000));
    dir.write_bytes("b.wav", wave_file(22050, 1, 16, 100));
    dir.write_text("0.txt", std::string("*define\nautomode_time 300\ngame\n*start\nあ@\n") +
                                c.command + " \"v.wav\"\nい@\nwave \"b.wav\"\nend\n");
    RunResult r = run_game(dir, {"@0 menu 40019\n"});
    std::vector<uint32_t> t = r.times("audio");
    ASSERT_GE(t.size(), 3U);
    uint32_t waited = t[2] - t[0];
    EXPECT_GE(waited, c.min_ms);
    EXPECT_LE(waited, c.max_ms);
  }
}

}  // namespace
}  // namespace vellumite::testing
