// The MP3 decoder calls the player is built on, answered by libmpg123:
// InitMP3 resets for a new stream, GetWaveformat tells the PCM format from
// the first input piece, decodeMP3 turns input pieces into blocks of PCM,
// ExitMP3 ends the stream.
#pragma once

#include <cstddef>
#include <cstdint>

struct mpg123_handle_struct;

namespace vellumite {

// The waveform format record (18 bytes on disk; here its fields).
struct WaveFormat {
  uint16_t format_tag = 1;  // PCM
  uint16_t channels = 2;
  uint32_t samples_per_sec = 44100;
  uint32_t avg_bytes_per_sec = 44100 * 4;
  uint16_t block_align = 4;
  uint16_t bits_per_sample = 16;
  uint16_t extra_size = 0;
};

constexpr int kMp3InputPiece = 2048;
constexpr int kMp3BlockBytes = 8192;
constexpr int kMp3Produced = 0;  // decodeMP3: a block of PCM
constexpr int kMp3NeedMore = 1;  // decodeMP3: feed the next input piece
constexpr int kMp3Error = -1;    // decodeMP3: the stream cannot be decoded

class Mp3Codec {
 public:
  Mp3Codec();
  ~Mp3Codec();
  Mp3Codec(const Mp3Codec&) = delete;
  Mp3Codec& operator=(const Mp3Codec&) = delete;

  void InitMP3();
  // Always a complete 16-bit PCM format; 44.1 kHz stereo when the piece does
  // not tell. decodeMP3 then produces exactly this format.
  void GetWaveformat(WaveFormat& format, const uint8_t* input, size_t size);
  // (input, input_size): a new piece, or (null, 0) to go on with what it
  // holds. Writes at most `staging_size` bytes and their count.
  int decodeMP3(const uint8_t* input, int input_size, uint8_t* staging, int staging_size,
                int* produced);
  void ExitMP3();

 private:
  mpg123_handle_struct* handle_ = nullptr;
};

}  // namespace vellumite
