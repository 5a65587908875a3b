// The one loop every wait runs: click and page waits, choices, button and
// link waits, `delay`/`wait`/`waittimer`, the delay after each character,
// dialogs and the menu bar's drop-downs. A wait states how it differs in a
// WaitRules value; run_wait() does the rest the same way for all:
//
//   each round   1. ends when `ended()` holds or the clock reaches `until()`
//                   (not checked in the first round with
//                   `first_round_unchecked`);
//                2. takes one message from the queue: the window procedure
//                   gets it (unless `dispatch` is off), then `after_poll`
//                   sees it (or null when the queue was empty) and may end
//                   the wait;
//                3. animates: the sprites and standing pictures
//                   (`animate_layers`), then the wait's own `animate`;
//                4. a round that found the queue empty sleeps until the next
//                   message or the first deadline: the wait's end, the next
//                   animation frame, timer 1, timed scripted input; other
//                   rounds only yield.
//
// A wait the player ends has a `kind`: the platform learns of it when it
// begins (headless, the next scripted event is delivered then, or the
// program ends with "input exhausted" when nothing is left), and again each
// time the queue runs dry after input that did not end it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "game/engine.h"
#include "game/graphics/layers.h"

namespace vellumite {

struct WaitRules {
  // The trace's name of a wait the player ends ("click 8 16", "choice");
  // empty for waits that are not the player's or that announce themselves.
  std::string kind;
  // Whether the wait also ends on its own, asked each time it (re)begins;
  // none: it does not.
  std::function<bool()> ends_by_time;
  // Begin when the queue first runs dry instead of before the first round.
  bool begin_when_idle = false;
  // The clock time (ticks(), compared with wrap) at which the wait ends.
  std::function<std::optional<uint32_t>()> until;
  // Other reasons to end before the next look at the queue.
  std::function<bool()> ended;
  bool first_round_unchecked = false;
  // Whether messages go to the window procedure before `after_poll`.
  bool dispatch = true;
  // Sees each message taken (after dispatch), or null after an empty look.
  // True ends the wait. A timer message must change nothing here: the
  // headless clock takes those that fall due while the wait sleeps.
  std::function<bool(const Message*)> after_poll;
  bool animate_layers = true;
  // Whether the round that (re)begins the player's wait still animates.
  bool animate_when_beginning = true;
  // The wait's own animation (the click cursor); returns the clock time of
  // its next frame, none when it has none.
  std::function<std::optional<uint32_t>()> animate;
  // Whether a round that handled a message yields before the next one.
  bool yield_after_message = true;
  // For the auto player: the wait's items (a choice's lines, the buttons)
  // and a point inside item i; none: a click where the pointer is answers.
  int auto_items = 0;
  std::function<std::pair<int, int>(int)> auto_point;
};

void run_wait(Engine& e, const WaitRules& rules);

// The rules of a modal loop (a dialog, an open drop-down): messages go to
// `after_poll` alone, nothing animates, and the next message is taken as soon
// as one has been handled. Set `after_poll`; it sees every message.
WaitRules modal_wait_rules();

// The clock time at which animate_layers() next has work, if any.
std::optional<uint32_t> next_layer_frame(Engine& e);

// True once the clock is at or past `when` (compared with wrap).
inline bool reached(uint32_t now, uint32_t when) { return static_cast<int32_t>(now - when) >= 0; }

// A restart (`reset`, `definereset`) costs at least 1 ms of game time, so a
// scenario that restarts in a loop still moves the clock towards a timeout.
void count_restart(Engine& e);

}  // namespace vellumite
