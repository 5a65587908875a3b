#include "platform/headless/headless_platform.h"

#include "platform/posix_system.h"

namespace vellumite {

HeadlessPlatform::HeadlessPlatform(PlatformOptions options) : PlatformBase(std::move(options)) {}

void HeadlessPlatform::advance(uint64_t micros) {
  now_us_ += micros;
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

void HeadlessPlatform::wait_message(uint32_t deadline_ms) {
  yield();
  if (waiting_messages() != 0) return;
  const uint32_t now = ticks();
  const uint32_t due = next_due(now, deadline_ms);
  // Skip the idle rounds that end before the first millisecond at which
  // anything can happen: in them the wait would only have moved the clock.
  const uint64_t due_us = (now_us_ / 1000 + (due - now)) * 1000;
  if (due_us <= now_us_) return;
  const uint64_t rounds = (due_us - now_us_ - 1) / kIdleRoundMicros;
  if (rounds != 0) advance(rounds * kIdleRoundMicros);
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
