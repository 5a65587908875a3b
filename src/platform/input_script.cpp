#include "platform/input_script.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <utility>

#include "platform/platform.h"

namespace vellumite {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

std::string_view next_word(std::string_view& s) {
  s = trim(s);
  size_t end = s.find_first_of(" \t");
  std::string_view word = s.substr(0, end);
  s = end == std::string_view::npos ? std::string_view{} : s.substr(end);
  return word;
}

bool to_int(std::string_view word, int& out) {
  if (word.empty()) return false;
  auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), out);
  return ec == std::errc{} && ptr == word.data() + word.size();
}

bool to_u32(std::string_view word, uint32_t& out) {
  if (word.empty()) return false;
  auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), out);
  return ec == std::errc{} && ptr == word.data() + word.size();
}

// Parses one non-empty line; returns an error text or "".
std::string parse_line(std::string_view line, InputEvent& ev) {
  std::string_view word = next_word(line);
  if (word[0] == '@' || word[0] == '+') {
    ev.timing = word[0] == '@' ? InputTiming::Absolute : InputTiming::Relative;
    if (!to_u32(word.substr(1), ev.when_ms)) return "bad time \"" + std::string(word) + "\"";
    word = next_word(line);
  }
  // A '#' after the action starts a comment, except in the text of `type`.
  if (word != "type") line = line.substr(0, line.find('#'));
  auto two_ints = [&]() -> std::string {
    if (!to_int(next_word(line), ev.x) || !to_int(next_word(line), ev.y)) return "expected X Y";
    return "";
  };
  std::string error;
  if (word == "click") {
    ev.action = InputAction::Click;
    error = two_ints();
  } else if (word == "rclick") {
    ev.action = InputAction::RClick;
    error = two_ints();
  } else if (word == "move") {
    ev.action = InputAction::Move;
    error = two_ints();
  } else if (word == "key") {
    ev.action = InputAction::Key;
    std::string_view key = next_word(line);
    if (key == "ctrl") {
      const std::string_view way = next_word(line);
      if (way != "down" && way != "up") return "key ctrl must be down or up";
      ev.action = InputAction::NavKey;
      ev.value = way == "down" ? kKeyCtrlDown : kKeyCtrlUp;
    } else if (key == "space") {
      ev.value = 0x20;
    } else if (key == "enter") {
      ev.value = 0x0D;
    } else {
      static constexpr std::pair<std::string_view, NavKey> kNavKeys[] = {
          {"escape", kKeyEscape},
          {"left", kKeyLeft},
          {"right", kKeyRight},
          {"up", kKeyUp},
          {"down", kKeyDown},
          {"home", kKeyHome},
          {"end", kKeyEnd},
          {"delete", kKeyDelete},
          {"tab", kKeyTab},
          {"f10", kKeyF10},
          {"alt", kKeyAlt},
          {"f3", kKeyF3},
          {"f4", kKeyF4},
          {"f5", kKeyF5},
          {"f6", kKeyF6},
          {"f7", kKeyF7},
          {"f8", kKeyF8},
          {"pageup", kKeyPageUp},
          {"pagedown", kKeyPageDown},
          {"f9", kKeyF9},
          {"f12", kKeyF12},
      };
      const auto* found = std::find_if(std::begin(kNavKeys), std::end(kNavKeys),
                                       [key](const auto& k) { return k.first == key; });
      if (found == std::end(kNavKeys)) return "unknown key \"" + std::string(key) + "\"";
      ev.action = InputAction::NavKey;
      ev.value = found->second;
    }
  } else if (word == "pad") {
    ev.action = InputAction::Pad;
    static constexpr std::pair<std::string_view, uint32_t> kPad[] = {
        {"a", kPadA},       {"b", kPadB},       {"up", kKeyUp},
        {"down", kKeyDown}, {"left", kKeyLeft}, {"right", kKeyRight}};
    const std::string_view button = next_word(line);
    const auto* found = std::find_if(std::begin(kPad), std::end(kPad),
                                     [button](const auto& b) { return b.first == button; });
    if (found == std::end(kPad)) return "pad must be a, b, up, down, left or right";
    ev.value = found->second;
  } else if (word == "wheel") {
    ev.action = InputAction::Wheel;
    std::string_view direction = next_word(line);
    if (direction == "up") {
      ev.value = kWheelUp;
    } else if (direction == "down") {
      ev.value = kWheelDown;
    } else {
      return "wheel must be up or down";
    }
  } else if (word == "menu") {
    ev.action = InputAction::Menu;
    if (!to_u32(next_word(line), ev.value)) return "expected a menu id";
  } else if (word == "close") {
    ev.action = InputAction::Close;
  } else if (word == "answer") {
    ev.action = InputAction::Answer;
    std::string_view answer = next_word(line);
    if (answer == "ok") {
      ev.value = 0;
    } else if (answer == "yes") {
      ev.value = 1;
    } else if (answer == "no") {
      ev.value = 2;
    } else {
      return "answer must be yes, no or ok";
    }
  } else if (word == "type") {
    ev.action = InputAction::Type;
    // The text is the rest of the line after one separating blank, kept as it
    // stands (inner and trailing blanks included).
    std::string_view rest = line;
    if (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    if (!rest.empty() && rest.back() == '\r') rest.remove_suffix(1);
    ev.text = std::string(rest);
    return "";
  } else {
    return "unknown action \"" + std::string(word) + "\"";
  }
  if (!error.empty()) return error;
  if (!trim(line).empty()) return "unexpected \"" + std::string(trim(line)) + "\"";
  return "";
}

}  // namespace

InputParseResult parse_input_script(std::string_view text) {
  InputParseResult result;
  int line_number = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++line_number;
    std::string_view content = trim(line);
    if (content.empty() || content.front() == '#') continue;
    InputEvent ev;
    ev.line = line_number;
    std::string error = parse_line(content, ev);
    if (!error.empty()) {
      result.error = "input line " + std::to_string(line_number) + ": " + error;
      return result;
    }
    result.events.push_back(std::move(ev));
  }
  return result;
}

}  // namespace vellumite
