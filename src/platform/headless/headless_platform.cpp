#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/posix_system.h"

namespace vellumite {
namespace {

// States of the rounds around timer 1 kept to find where they repeat.
constexpr size_t kMaxTimerStates = 4096;
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
  if (audio_out_ == nullptr && (audio() == nullptr || !audio()->sounding()) &&
      due - audio_frames_ >= kPullFrames) {
    // Silence that nobody records: pass over it without mixing.
    audio_frames_ += (due - audio_frames_) / kPullFrames * kPullFrames;
  }
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
  const uint64_t timeout_us = uint64_t{options().timeout_ms} * 1000;
  if (now_us_ >= timeout_us) {
    // The run ends at its deadline, however far the step would have gone.
    now_us_ = timeout_us;
    throw ProgramExit{124};
  }
  service(ticks());
}

bool HeadlessPlatform::peek_message(Message& out, bool remove) {
  service(ticks());
  if (PlatformBase::peek_message(out, remove)) return true;
  // Nothing waiting: a wait that polls again finds the world 1 ms later.
  advance(kEmptyPollMicros);
  return false;
}

void HeadlessPlatform::wait_message(uint32_t deadline_ms, bool timer_round_yields) {
  yield();
  // Timer 1 has work: the wait's rounds take each of its messages, 1 ms of
  // clock a round as a plain poll does.
  if (waiting_messages() != 0 || timer_work()) return;
  const uint32_t now = ticks();
  const uint64_t now_ms = now_us_ / 1000;
  // Nothing but timer 1 can happen before `limit_us`: the deadline, the
  // next scripted input and the timeout all lie at or after it.
  const uint64_t other_ms =
      std::min(now_ms + (next_due(now, deadline_ms, false) - now), uint64_t{options().timeout_ms});
  const uint64_t limit_us = other_ms * 1000;
  if (limit_us <= now_us_) return;
  uint64_t n = now_us_;  // where the next round begins
  if (timer_period() != 0) {
    const uint64_t round_end = timer_round_yields ? kYieldMicros : 0;
    uint64_t due = now_ms + (timer_due() > now ? timer_due() - now : 0);
    // The rounds repeat with the timer: once a state (the phase within the
    // millisecond, the distance to the timer) comes back, whole cycles are
    // passed over at once.
    std::vector<std::pair<uint64_t, uint64_t>> seen;  // state, n
    bool cycled = false;
    bool cut_short = false;  // a round that takes the timer would reach the limit
    while (due * 1000 < limit_us) {
      const uint64_t due_us = due * 1000;
      if (due_us > n) n += (due_us - n - 1) / kIdleRoundMicros * kIdleRoundMicros;
      // The round at n notices the timer at its look at the queue, after
      // the empty look, or at its yield; the message is taken by the next
      // round (or by this one when noticed at its look).
      uint64_t noticed = n, next = n + round_end;
      if (n < due_us) {
        noticed = n + kEmptyPollMicros >= due_us ? n + kEmptyPollMicros : n + kIdleRoundMicros;
        next = n + kIdleRoundMicros + round_end;
      }
      if (next >= limit_us) {
        cut_short = true;
        break;
      }
      due = noticed / 1000 + timer_period();
      n = next;
      if (cycled) continue;
      const uint64_t state = (n % 1000) << 32 | (due * 1000 - n);
      auto it =
          std::find_if(seen.begin(), seen.end(), [&](const auto& s) { return s.first == state; });
      if (it == seen.end()) {
        if (seen.size() < kMaxTimerStates) seen.emplace_back(state, n);
        continue;
      }
      cycled = true;
      const uint64_t cycle_us = n - it->second;  // a whole number of milliseconds
      const uint64_t cycles = (limit_us - n) / cycle_us;
      if (cycles > 1) {
        n += (cycles - 1) * cycle_us;
        due += (cycles - 1) * cycle_us / 1000;
      }
    }
    set_timer_due(static_cast<uint32_t>(due));
    if (cut_short) {
      // The wait's own rounds go on from the one that notices the timer.
      if (n > now_us_) advance(n - now_us_);
      return;
    }
  }
  // The idle rounds that end before the limit.
  if (limit_us > n) n += (limit_us - n - 1) / kIdleRoundMicros * kIdleRoundMicros;
  if (n > now_us_) advance(n - now_us_);
}

void HeadlessPlatform::present(const Rect&) { ++presents_; }

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
