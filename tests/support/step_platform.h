// A window the engine draws into, driven by steps: whenever a waiting loop
// gives up the processor, the next step runs (it looks at the window and
// posts the player's next input). A wait that outlives its steps fails.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform_base.h"

namespace vellumite::testing {

class StepPlatform final : public PlatformBase {
 public:
  explicit StepPlatform(std::ostream* trace = nullptr) : PlatformBase(options(trace)) {}
  static PlatformOptions options(std::ostream* trace) {
    PlatformOptions o;
    o.trace = trace;
    return o;
  }

  void script(std::vector<std::function<void()>> steps) {
    steps_ = std::move(steps);
    next_step_ = 0;
  }
  void post(MessageKind kind, int x = 0, int y = 0, uint32_t param = 0) {
    post_message(Message{kind, x, y, param});
  }
  void type(std::u32string_view text) {
    for (char32_t c : text) post(MessageKind::TextInput, 0, 0, c);
  }
  // The messages left in the queue, in order.
  std::vector<Message> drain() {
    std::vector<Message> out;
    Message m;
    while (peek_message(m, true)) out.push_back(m);
    return out;
  }

  uint32_t ticks() override { return 0; }
  void sleep(uint32_t) override {}
  void wait_message(uint32_t, bool) override { yield(); }
  void yield() override {
    if (next_step_ >= steps_.size()) throw std::runtime_error("the wait did not end");
    steps_[next_step_++]();
  }
  void present(const Rect&) override {}
  void present_menu_bar() override { ++bar_presents; }
  void overlay_menu_bar(bool shown) override { overlay = shown; }
  void set_title(std::string_view) override {}
  void show_window() override {}
  bool set_full_screen(bool) override { return true; }
  void set_pointer_image(const uint8_t*, int, int, int, int) override {}
  int exit_code_for(ExitReason) const override { return 0; }
  bool acquire_instance_guard() override { return true; }
  std::string prepare_temp_folder() override { return "/tmp/"; }
  void remove_temp_folder() override {}
  void restore_display_mode() override {}
  bool dialogs_in_window() const override { return true; }
  void set_text_input(bool on, const Rect&) override { text_input = on; }

  bool text_input = false;
  int bar_presents = 0;
  bool overlay = false;

 protected:
  BoxAnswer show_message_box(std::string_view, std::string_view, BoxButtons) override {
    ADD_FAILURE() << "the backend's own box is not for a visible window";
    return BoxAnswer::Ok;
  }
  bool exhausted_input_ends_program() const override { return false; }

 private:
  std::vector<std::function<void()>> steps_;
  size_t next_step_ = 0;
};

}  // namespace vellumite::testing
