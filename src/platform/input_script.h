// Scripted player input: the `--input FILE` format shared by both backends.
//
//   [WHEN] ACTION ARGS          one event a line, '#' starts a comment
//   WHEN:   @MS   at clock time MS
//           +MS   MS after the previous event was delivered
//           (none) at the next wait for the player, after the previous event
//   ACTION: click X Y | rclick X Y | move X Y | key space | key enter
//           | key escape|left|right|up|down|home|end|delete|tab|f10|alt
//           | key f3|f4|f5|f6|f7|f8 | key pageup|pagedown | key f9|f12
//           | key ctrl down|up   (Ctrl pressed, released)
//           | pad a|b            (the controller's A, B: a click, a right
//                                 click at the pointer)
//           | pad up|down|left|right  (the controller's pad: arrow keys)
//           | wheel up|down      (one notch at the pointer's position)
//           | menu ID | close | answer yes|no|ok | type TEXT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/backend_only.h"

namespace vellumite {

// Key: a character (value 0x20 or 0x0D); NavKey: a Key message (value a NavKey).
enum class InputAction : uint8_t {
  Click,
  RClick,
  Move,
  Key,
  NavKey,
  Menu,
  Close,
  Answer,
  Type,
  Wheel,
  Pad
};

// The value of a Pad event: A or B, else the NavKey of a direction.
constexpr uint32_t kPadA = 0x100;
constexpr uint32_t kPadB = 0x101;
enum class InputTiming : uint8_t { AtWait, Absolute, Relative };

struct InputEvent {
  InputTiming timing = InputTiming::AtWait;
  uint32_t when_ms = 0;  // for Absolute and Relative
  InputAction action = InputAction::Click;
  int x = 0;
  int y = 0;
  uint32_t value = 0;  // key character, menu id, answer (0 ok, 1 yes, 2 no), wheel direction,
                       // pad button
  std::string text;    // for Type, UTF-8
  int line = 0;        // line of the input file, for messages
};

struct InputParseResult {
  std::vector<InputEvent> events;
  std::string error;  // empty when the whole text was understood
};

InputParseResult parse_input_script(std::string_view text);

}  // namespace vellumite
