#include "audio/mp3_codec.h"

#include <mpg123.h>

#include <initializer_list>

namespace vellumite {
namespace {

bool library_ready() {
  static const bool ready = mpg123_init() == MPG123_OK;
  return ready;
}

// A handle in feed mode that gives 16-bit PCM, forced to `rate` and stereo.
mpg123_handle* open_feed(long rate) {
  if (!library_ready()) return nullptr;
  mpg123_handle* h = mpg123_new(nullptr, nullptr);
  if (h == nullptr) return nullptr;
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO, 0.0);
  if (rate > 0) mpg123_param(h, MPG123_FORCE_RATE, rate, 0.0);
  mpg123_format_none(h);
  for (long r : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L}) {
    if (rate <= 0 || r == rate) mpg123_format(h, r, MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  if (rate > 0) mpg123_format(h, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open_feed(h) != MPG123_OK) {
    mpg123_delete(h);
    return nullptr;
  }
  return h;
}

}  // namespace

Mp3Codec::Mp3Codec() = default;

Mp3Codec::~Mp3Codec() { ExitMP3(); }

void Mp3Codec::InitMP3() { ExitMP3(); }

void Mp3Codec::GetWaveformat(WaveFormat& format, const uint8_t* input, size_t size) {
  format = WaveFormat{};
  if (mpg123_handle* probe = open_feed(0)) {
    unsigned char scratch[kMp3BlockBytes];
    size_t done = 0;
    int r = mpg123_decode(probe, input, size, scratch, sizeof scratch, &done);
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (r == MPG123_NEW_FORMAT &&
        mpg123_getformat(probe, &rate, &channels, &encoding) == MPG123_OK) {
      format.samples_per_sec = static_cast<uint32_t>(rate);
    }
    mpg123_delete(probe);
  }
  format.avg_bytes_per_sec = format.samples_per_sec * 4;
  // The decoding handle gives exactly this format from now on.
  ExitMP3();
  handle_ = open_feed(static_cast<long>(format.samples_per_sec));
}

int Mp3Codec::decodeMP3(const uint8_t* input, int input_size, uint8_t* staging, int staging_size,
                        int* produced) {
  *produced = 0;
  if (handle_ == nullptr) return kMp3Error;
  size_t done = 0;
  int r = mpg123_decode(handle_, input, input == nullptr ? 0 : static_cast<size_t>(input_size),
                        staging, static_cast<size_t>(staging_size), &done);
  while (r == MPG123_NEW_FORMAT && done == 0) {
    r = mpg123_decode(handle_, nullptr, 0, staging, static_cast<size_t>(staging_size), &done);
  }
  *produced = static_cast<int>(done);
  if (done > 0) return kMp3Produced;
  if (r == MPG123_NEED_MORE || r == MPG123_OK || r == MPG123_NEW_FORMAT) return kMp3NeedMore;
  return kMp3Error;
}

void Mp3Codec::ExitMP3() {
  if (handle_ != nullptr) mpg123_delete(handle_);
  handle_ = nullptr;
}

}  // namespace vellumite
