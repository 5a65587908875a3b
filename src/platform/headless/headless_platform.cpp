#include "platform/headless/headless_platform.h"

#include "platform/posix_system.h"

namespace vellumite {

HeadlessPlatform::HeadlessPlatform(PlatformOptions options) : PlatformBase(std::move(options)) {}

void HeadlessPlatform::advance(uint64_t micros) {
  now_us_ += micros;
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
