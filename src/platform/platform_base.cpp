#include "platform/platform_base.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iostream>

#include "platform/png_writer.h"
#include "platform/posix_system.h"
#include "platform/shared_libraries.h"
#include "platform/trace_text.h"

namespace vellumite {

PlatformBase::PlatformBase(PlatformOptions options)
    : options_(std::move(options)), pixels_(kWindowBytes, 0), menu_bar_(kMenuBarBytes, 0) {
  if (options_.trace != nullptr) {
    trace_ = options_.trace;
  } else if (!options_.trace_path.empty()) {
    trace_file_ = std::make_unique<std::ofstream>(options_.trace_path, std::ios::binary);
    if (*trace_file_) trace_ = trace_file_.get();
  }
}

PlatformBase::~PlatformBase() = default;

void PlatformBase::service(uint32_t now) {
  while (next_event_ < options_.input.size()) {
    const InputEvent& event = options_.input[next_event_];
    if (event.timing == InputTiming::AtWait) break;
    uint32_t due =
        event.timing == InputTiming::Absolute ? event.when_ms : last_delivery_ms_ + event.when_ms;
    if (now < due) break;
    // Answers and typed text are taken by the next box or dialog, not posted.
    if (event.action == InputAction::Answer || event.action == InputAction::Type) break;
    ++next_event_;
    deliver(event, now);
  }
  if (timer_period_ != 0 && now >= timer_due_) {
    bool waiting = std::any_of(queue_.begin(), queue_.end(),
                               [](const Message& m) { return m.kind == MessageKind::Timer; });
    if (!waiting) queue_.push_back(Message{MessageKind::Timer, 0, 0, 1});
    timer_due_ = now + timer_period_;
  }
}

uint32_t PlatformBase::next_due(uint32_t now, uint32_t limit, bool with_timer) const {
  uint32_t soonest = limit - now;
  if (static_cast<int32_t>(soonest) < 0) soonest = 0;
  // Compared as service() compares them.
  auto consider = [&](uint32_t due) { soonest = std::min(soonest, now < due ? due - now : 0); };
  if (with_timer && timer_period_ != 0) consider(timer_due_);
  if (next_event_ < options_.input.size()) {
    const InputEvent& event = options_.input[next_event_];
    bool timed = event.timing != InputTiming::AtWait && event.action != InputAction::Answer &&
                 event.action != InputAction::Type;
    if (timed) {
      consider(event.timing == InputTiming::Absolute ? event.when_ms
                                                     : last_delivery_ms_ + event.when_ms);
    }
  }
  return now + soonest;
}

void PlatformBase::deliver(const InputEvent& event, uint32_t now) {
  last_delivery_ms_ = now;
  auto post = [this](MessageKind kind, int x, int y, uint32_t param) {
    queue_.push_back(Message{kind, x, y, param});
  };
  switch (event.action) {
    case InputAction::Click:
    case InputAction::RClick: {
      bool left = event.action == InputAction::Click;
      set_pointer(event.x, event.y);
      post(MessageKind::MouseMove, event.x, event.y, 0);
      post(left ? MessageKind::LButtonDown : MessageKind::RButtonDown, event.x, event.y, 0);
      post(left ? MessageKind::LButtonUp : MessageKind::RButtonUp, event.x, event.y, 0);
      break;
    }
    case InputAction::Move:
      set_pointer(event.x, event.y);
      post(MessageKind::MouseMove, event.x, event.y, 0);
      break;
    case InputAction::Key: post(MessageKind::Char, 0, 0, event.value); break;
    case InputAction::NavKey: post(MessageKind::Key, 0, 0, event.value); break;
    case InputAction::Pad: {
      // A and B click where the pointer is; the pad's directions are the
      // arrow keys.
      if (event.value != kPadA && event.value != kPadB) {
        post(MessageKind::Key, 0, 0, event.value);
        break;
      }
      int x = 0, y = 0;
      pointer_position(x, y);
      const bool left = event.value == kPadA;
      post(left ? MessageKind::LButtonDown : MessageKind::RButtonDown, x, y, 0);
      post(left ? MessageKind::LButtonUp : MessageKind::RButtonUp, x, y, 0);
      break;
    }
    case InputAction::Menu: post(MessageKind::Command, 0, 0, event.value); break;
    case InputAction::Close: post(MessageKind::Close, 0, 0, 0); break;
    case InputAction::Wheel: {
      int x = 0, y = 0;
      pointer_position(x, y);
      post(MessageKind::Wheel, x, y, event.value);
      break;
    }
    case InputAction::Answer:
    case InputAction::Type: break;  // taken by boxes and dialogs
  }
}

bool PlatformBase::peek_message(Message& out, bool remove) {
  if (queue_.empty()) return false;
  out = queue_.front();
  if (remove) queue_.pop_front();
  return true;
}

bool PlatformBase::take_message(MessageKind kind) {
  auto it = std::find_if(queue_.begin(), queue_.end(),
                         [kind](const Message& m) { return m.kind == kind; });
  if (it == queue_.end()) return false;
  queue_.erase(it);
  return true;
}

void PlatformBase::remove_messages(MessageKind kind) {
  std::erase_if(queue_, [kind](const Message& m) { return m.kind == kind; });
}

void PlatformBase::post_message(const Message& message) { queue_.push_back(message); }

void PlatformBase::start_timer(uint32_t period_ms) {
  timer_period_ = std::max<uint32_t>(period_ms, 1);
  timer_due_ = ticks() + timer_period_;
}

void PlatformBase::kill_timer() {
  timer_period_ = 0;
  remove_messages(MessageKind::Timer);
}

void PlatformBase::scroll_window(const Rect& area, int dx, int dy) {
  Rect r{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, kWindowWidth),
         std::min(area.bottom, kWindowHeight)};
  int width = r.right - r.left - std::abs(dx);
  int height = r.bottom - r.top - std::abs(dy);
  if (width <= 0 || height <= 0) return;
  int src_x = dx >= 0 ? r.left : r.left - dx;
  int dst_x = src_x + dx;
  // Walk the rows so that a row is read before it is overwritten.
  for (int i = 0; i < height; ++i) {
    int row = dy > 0 ? height - 1 - i : i;
    int src_y = (dy >= 0 ? r.top : r.top - dy) + row;
    int dst_y = src_y + dy;
    uint8_t* dst = pixels_.data() + (kWindowHeight - 1 - dst_y) * kWindowStride + dst_x * 3;
    const uint8_t* src = pixels_.data() + (kWindowHeight - 1 - src_y) * kWindowStride + src_x * 3;
    std::memmove(dst, src, static_cast<size_t>(width) * 3);
  }
}

void PlatformBase::move_pointer(int x, int y) {
  set_pointer(x, y);
  post_message(Message{MessageKind::MouseMove, x, y, 0});
}

bool PlatformBase::pointer_position(int& x, int& y) {
  x = pointer_x_;
  y = pointer_y_;
  return pointer_known_;
}

BoxAnswer PlatformBase::message_box(std::string_view title_utf8, std::string_view text_utf8,
                                    BoxButtons buttons) {
  std::optional<BoxAnswer> scripted = scripted_box_answer(buttons);
  BoxAnswer answer = scripted ? *scripted : show_message_box(title_utf8, text_utf8, buttons);
  record_box_answer(title_utf8, text_utf8, answer);
  return answer;
}

std::optional<BoxAnswer> PlatformBase::scripted_box_answer(BoxButtons buttons) {
  if (next_event_ >= options_.input.size() ||
      options_.input[next_event_].action != InputAction::Answer) {
    // The auto player answers every box with OK or Yes.
    if (options_.play.auto_play) return buttons == BoxButtons::Ok ? BoxAnswer::Ok : BoxAnswer::Yes;
    return std::nullopt;
  }
  uint32_t value = options_.input[next_event_++].value;
  last_delivery_ms_ = ticks();
  if (buttons == BoxButtons::Ok) return BoxAnswer::Ok;
  return value == 2 ? BoxAnswer::No : BoxAnswer::Yes;
}

void PlatformBase::record_box_answer(std::string_view title_utf8, std::string_view text_utf8,
                                     BoxAnswer answer) {
  if (!tracing()) return;
  static constexpr const char* kNames[] = {"ok", "yes", "no"};
  trace("msgbox", quote_trace_string(title_utf8) + " " + quote_trace_string(text_utf8) + " " +
                      kNames[static_cast<int>(answer)]);
}

std::optional<std::string> PlatformBase::scripted_text_answer() {
  if (next_event_ < options_.input.size() &&
      options_.input[next_event_].action == InputAction::Type) {
    last_delivery_ms_ = ticks();
    return options_.input[next_event_++].text;
  }
  return std::nullopt;
}

bool PlatformBase::input_waiting() const {
  return std::any_of(queue_.begin(), queue_.end(), [](const Message& m) {
    switch (m.kind) {
      case MessageKind::LButtonDown:
      case MessageKind::LButtonUp:
      case MessageKind::RButtonDown:
      case MessageKind::RButtonUp:
      case MessageKind::Char:
      case MessageKind::Wheel:
      case MessageKind::Command:
      case MessageKind::Close: return true;
      default: return false;
    }
  });
}

bool PlatformBase::begin_wait(std::string_view kind, bool ends_by_time, bool resumed) {
  if (tracing() && !resumed) trace("wait", kind);
  if (next_event_ < options_.input.size()) {
    const InputEvent& event = options_.input[next_event_];
    if (event.timing == InputTiming::AtWait && event.action != InputAction::Answer &&
        event.action != InputAction::Type) {
      ++next_event_;
      deliver(event, ticks());
    }
    return true;
  }
  // The auto player answers the wait once it has begun.
  if (ends_by_time || input_waiting() || options_.play.auto_play) return true;
  return !exhausted_input_ends_program();
}

void PlatformBase::report(std::string_view utf8_line) {
  if (options_.report == nullptr) return;
  *options_.report << utf8_line << '\n';
  options_.report->flush();
}

void PlatformBase::trace(std::string_view event, std::string_view fields) {
  if (trace_ == nullptr) return;
  *trace_ << ticks() << ' ' << event;
  if (!fields.empty()) *trace_ << ' ' << fields;
  *trace_ << '\n';
  if (options_.trace_each_line) trace_->flush();
}

void PlatformBase::finish(int exit_code) {
  if (tracing()) trace("exit", std::to_string(exit_code));
  if (!options_.screenshot_path.empty() &&
      !write_window_png(options_.screenshot_path, pixels_.data())) {
    log("cannot write the screenshot " + options_.screenshot_path);
  }
  if (trace_ != nullptr) trace_->flush();
}

std::string PlatformBase::data_home() {
  return options_.data_home.empty() ? user_data_folder() : options_.data_home;
}

LocalTime PlatformBase::local_time(int64_t seconds) { return local_calendar(seconds, false); }

std::optional<std::string> PlatformBase::read_settings() {
  if (options_.settings_path.empty()) return std::nullopt;
  return read_whole_file(options_.settings_path);
}

bool PlatformBase::write_settings(std::string_view text) {
  if (options_.settings_path.empty()) return false;
  if (replace_file(options_.settings_path, text)) return true;
  log("cannot write the settings file " + options_.settings_path);
  return false;
}

void PlatformBase::log(std::string_view utf8) {
  if (options_.quiet) return;
  std::cerr << "vellumite: " << utf8 << '\n';
}

void* PlatformBase::open_library(const std::string& path) { return load_shared_library(path); }

void* PlatformBase::library_symbol(void* library, const char* name) {
  return shared_library_symbol(library, name);
}

void PlatformBase::close_library(void* library) { unload_shared_library(library); }

std::string PlatformBase::own_plugin_folder() {
  if (options_.plugin_folder.empty()) options_.plugin_folder = find_own_plugin_folder();
  return options_.plugin_folder;
}

}  // namespace vellumite
