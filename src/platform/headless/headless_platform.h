// The headless twin of the window: the same window surface in memory, no
// audio device (the mixer is pulled at the clock's pace), a virtual clock that starts at 0,
// scripted input, a trace of what happened and a screenshot at exit.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/backend_only.h"
#include "platform/platform_base.h"
#include "platform/posix_system.h"
#include "platform/wav_writer.h"

namespace vellumite {

class HeadlessPlatform : public PlatformBase {
 public:
  explicit HeadlessPlatform(PlatformOptions options);
  ~HeadlessPlatform() override;

  bool peek_message(Message& out, bool remove) override;
  uint32_t ticks() override { return static_cast<uint32_t>(now_us_ / 1000); }
  void sleep(uint32_t ms) override { advance(uint64_t{ms} * 1000); }
  void yield() override { advance(kYieldMicros); }
  void wait_message(uint32_t deadline_ms, bool timer_round_yields) override;
  void present(const Rect& area) override;
  void set_title(std::string_view utf8) override { title_ = utf8; }
  void show_window() override { shown_ = true; }
  bool set_full_screen(bool on) override;
  void set_pointer_image(const uint8_t* bgra, int width, int height, int hot_x, int hot_y) override;
  int exit_code_for(ExitReason reason) const override;
  bool acquire_instance_guard() override { return true; }
  std::string prepare_temp_folder() override;
  void remove_temp_folder() override;
  void restore_display_mode() override { full_screen_ = false; }
  // Only the data folder the options name (the program names the user's):
  // a test or a tool run headless writes nothing into the user's folders.
  std::string data_home() override { return options().data_home; }
  // Headless runs show times in UTC: the same on every machine.
  LocalTime local_time(int64_t seconds) override { return local_calendar(seconds, true); }
  // The mixer is pulled as the virtual clock moves, and written to the
  // `audio_out_path` file when one is given.
  void attach_audio(AudioProducer* producer) override;

  const std::string& title() const { return title_; }
  bool shown() const { return shown_; }
  bool full_screen() const { return full_screen_; }
  bool custom_pointer() const { return custom_pointer_; }
  uint64_t presents() const { return presents_; }

  // A zero-length sleep costs this much game time, so that a scenario that
  // loops without waiting still reaches the timeout.
  static constexpr uint64_t kYieldMicros = 10;
  // A look at an empty queue costs this much game time.
  static constexpr uint64_t kEmptyPollMicros = 1000;
  // One idle round of a wait: an empty look at the queue and a yield.
  static constexpr uint64_t kIdleRoundMicros = kEmptyPollMicros + kYieldMicros;

 protected:
  BoxAnswer show_message_box(std::string_view, std::string_view, BoxButtons buttons) override {
    return buttons == BoxButtons::Ok ? BoxAnswer::Ok : BoxAnswer::Yes;
  }
  bool exhausted_input_ends_program() const override { return true; }
  // Pictures are named after the virtual clock: the same name on every run.
  int64_t wall_seconds() override { return static_cast<int64_t>(now_us_ / 1000000); }

 private:
  void advance(uint64_t micros);
  void pull_audio();

  uint64_t now_us_ = 0;
  uint64_t presents_ = 0;
  std::string title_;
  bool shown_ = false;
  bool full_screen_ = false;
  bool custom_pointer_ = false;
  uint64_t audio_frames_ = 0;  // frames mixed since the clock started
  std::vector<float> audio_buffer_;
  std::unique_ptr<WavWriter> audio_out_;
};

}  // namespace vellumite
