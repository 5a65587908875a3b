// What both backends share: the message queue with timer 1, the window's
// pixel buffer, scripted input, the trace and the screenshot. A backend adds
// its clock, its OS events, presenting and its message boxes.
#pragma once

#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/backend_only.h"
#include "platform/input_script.h"
#include "platform/platform.h"

namespace vellumite {

struct PlatformOptions {
  std::vector<InputEvent> input;   // scripted player input, in order
  std::string trace_path;          // write the trace to this file, or
  std::ostream* trace = nullptr;   // to this stream (not owned)
  bool trace_each_line = false;    // flush every trace line as it is written
  std::string screenshot_path;     // PNG of the window at exit
  uint64_t timeout_ms = 600000;    // headless: give up after this much game time
  bool quiet = false;              // log nothing (the fuzzer runs thousands of games)
  std::string audio_out_path;      // headless: write the mixed sound here (WAVE)
  std::string settings_path;       // the player's settings file; empty: none kept
  std::string plugin_folder;       // the program's own plug-ins; empty: found
  std::string data_home;           // the user's data folder; empty: from the environment
  PlayOptions play;                // the auto player, the start label
  std::ostream* report = nullptr;  // the auto player's summary (not owned); none: dropped
  std::string pictures_folder;     // where F12's pictures go; empty: from the environment
  std::string settings_overrides;  // the player's settings given for this run alone
};

class PlatformBase : public Platform, public Automation {
 public:
  explicit PlatformBase(PlatformOptions options);
  ~PlatformBase() override;

  bool peek_message(Message& out, bool remove) override;
  bool take_message(MessageKind kind) override;
  void remove_messages(MessageKind kind) override;
  void post_message(const Message& message) override;
  void start_timer(uint32_t period_ms) override;
  void kill_timer() override;
  uint8_t* window_pixels() override { return pixels_.data(); }
  void scroll_window(const Rect& area, int dx, int dy) override;
  uint8_t* menu_bar_pixels() override { return menu_bar_.data(); }
  // Nothing to show by default: the strip stays in memory.
  void present_menu_bar() override {}
  void overlay_menu_bar(bool) override {}
  bool pointer_position(int& x, int& y) override;
  BoxAnswer message_box(std::string_view title_utf8, std::string_view text_utf8,
                        BoxButtons buttons) override;
  std::optional<std::string> scripted_text_answer() override;
  bool dialogs_in_window() const override { return false; }
  std::optional<BoxAnswer> scripted_box_answer(BoxButtons buttons) override;
  void record_box_answer(std::string_view title_utf8, std::string_view text_utf8,
                         BoxAnswer answer) override;
  void set_text_input(bool, const Rect&) override {}
  bool begin_wait(std::string_view kind, bool ends_by_time, bool resumed = false) override;
  bool tracing() const override { return trace_ != nullptr; }
  const PlayOptions& play_options() const override { return options_.play; }
  void report(std::string_view utf8_line) override;
  void trace(std::string_view event, std::string_view fields) override;
  void finish(int exit_code) override;
  void log(std::string_view utf8) override;
  std::optional<std::string> read_registry_value(std::string_view key_path,
                                                 std::string_view value_name) override;
  std::optional<std::string> read_profile_string(std::string_view file, std::string_view section,
                                                 std::string_view key) override;
  PathKind path_kind(const std::string& path) override;
  std::vector<std::string> list_folder(const std::string& path) override;
  std::optional<size_t> read_file_into(const std::string& path, char* out,
                                       size_t max_bytes) override;
  std::optional<uint64_t> file_size(const std::string& path) override;
  bool write_file(const std::string& path, std::string_view bytes) override;
  bool remove_file(const std::string& path) override;
  std::optional<LocalTime> file_modified(const std::string& path) override;
  std::string current_folder() override;
  std::string data_home() override;
  LocalTime local_time(int64_t seconds) override;
  std::optional<std::string> read_settings() override;
  bool write_settings(std::string_view text) override;
  std::string settings_overrides() override { return options_.settings_overrides; }
  std::string save_screenshot() override;
  void move_pointer(int x, int y) override;
  // Remembers the producer; a backend that plays sound overrides this.
  void attach_audio(AudioProducer* producer) override { audio_ = producer; }
  void set_timer_work(bool on) override { timer_work_ = on; }
  void* open_library(const std::string& path) override;
  void* library_symbol(void* library, const char* name) override;
  void close_library(void* library) override;
  std::string own_plugin_folder() override;

  const PlatformOptions& options() const { return options_; }
  size_t waiting_messages() const { return queue_.size(); }

 protected:
  AudioProducer* audio() const { return audio_; }
  bool timer_work() const { return timer_work_; }
  // Delivers what has fallen due by `now`: timed scripted input and the
  // timer message. Backends call it whenever their clock may have moved.
  void service(uint32_t now);
  // The first clock time after `now` at which service() would deliver
  // something (timer 1 unless left out, the next timed scripted event), no later than
  // `limit`; both are ticks() values compared with wrap, `limit` at most
  // 2^31 - 1 ms ahead.
  uint32_t next_due(uint32_t now, uint32_t limit, bool with_timer = true) const;
  uint32_t timer_period() const { return timer_period_; }
  uint32_t timer_due() const { return timer_due_; }
  void set_timer_due(uint32_t due) { timer_due_ = due; }
  // Seconds since 1970 for the screenshot's name (headless: its own clock).
  virtual int64_t wall_seconds();
  // The backend's own message box, for boxes the input script does not answer.
  virtual BoxAnswer show_message_box(std::string_view title_utf8, std::string_view text_utf8,
                                     BoxButtons buttons) = 0;
  // Whether a player wait with nothing left to deliver ends the program.
  virtual bool exhausted_input_ends_program() const = 0;
  // Records where the pointer is (from the OS or the input script).
  void set_pointer(int x, int y) {
    pointer_x_ = x;
    pointer_y_ = y;
    pointer_known_ = true;
  }

 private:
  void deliver(const InputEvent& event, uint32_t now);
  bool input_waiting() const;

  PlatformOptions options_;
  std::vector<uint8_t> pixels_;
  std::vector<uint8_t> menu_bar_;
  std::deque<Message> queue_;
  uint32_t timer_period_ = 0;  // 0: timer 1 not running
  uint32_t timer_due_ = 0;
  size_t next_event_ = 0;
  uint32_t last_delivery_ms_ = 0;
  int pointer_x_ = 0;
  int pointer_y_ = 0;
  bool pointer_known_ = false;
  std::unique_ptr<std::ostream> trace_file_;
  std::ostream* trace_ = nullptr;
  AudioProducer* audio_ = nullptr;
  bool timer_work_ = false;
};

}  // namespace vellumite
