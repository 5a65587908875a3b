#include "platform/headless/headless_platform.h"

#include <algorithm>

#include "platform/posix_system.h"

namespace vellumite {

namespace {
// The mixer is pulled in blocks of this many frames (about 5.8 ms).
constexpr uint64_t kPullFrames = 256;
}  // namespace

HeadlessPlatform::HeadlessPlatform(PlatformOptions options) : PlatformBase(std::move(options)) {
  audio_buffer_.resize(kPullFrames * 2);
  if (!this->options().audio_out_path.empty()) {
    audio_out_ = std::make_unique<WavWriter>(this->options().audio_out_path, kAudioRate);
    if (!audio_out_->ok()) log("cannot write " + this->options().audio_out_path);
  }
}

HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::attach_audio(AudioProducer* producer) {
  pull_audio();
  PlatformBase::attach_audio(producer);
}

void HeadlessPlatform::pull_audio() {
  uint64_t due = now_us_ * kAudioRate / 1000000;
  while (due - audio_frames_ >= kPullFrames) {
    if (audio() != nullptr) {
      audio()->fill_ahead();
      audio()->mix(audio_buffer_.data(), kPullFrames);
    } else {
      std::fill(audio_buffer_.begin(), audio_buffer_.end(), 0.0F);
    }
    if (audio_out_ != nullptr) audio_out_->write(audio_buffer_.data(), kPullFrames);
    audio_frames_ += kPullFrames;
  }
}

void HeadlessPlatform::advance(uint64_t micros) {
  now_us_ += micros;
  pull_audio();
  if (now_us_ / 1000 >= options().timeout_ms) throw ProgramExit{124};
  service(ticks());
}

bool HeadlessPlatform::peek_message(Message& out, bool remove) {
  service(ticks());
  if (PlatformBase::peek_message(out, remove)) return true;
  // Nothing waiting: a wait that polls again finds the world 1 ms later.
  advance(1000);
  return false;
}

void HeadlessPlatform::present(const PixelRect&) { ++presents_; }

bool HeadlessPlatform::set_full_screen(bool on) {
  full_screen_ = on;
  return true;
}

void HeadlessPlatform::set_pointer_image(const uint8_t* bgra, int, int, int, int) {
  custom_pointer_ = bgra != nullptr;
}

int HeadlessPlatform::exit_code_for(ExitReason reason) const {
  switch (reason) {
    case ExitReason::ScriptError: return 2;
    case ExitReason::InputExhausted: return 3;
    case ExitReason::End:
    case ExitReason::Closed: return 0;
  }
  return 0;
}

std::string HeadlessPlatform::prepare_temp_folder() { return prepare_scratch_folder(); }

void HeadlessPlatform::remove_temp_folder() { remove_scratch_folder_if_empty(); }

}  // namespace vellumite
