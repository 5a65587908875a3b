// The timed waits: `delay` (a left click ends it), `wait` (it always lasts
// its time), and the script timer (`resettimer`, `waittimer`, `gettimer`).
// Every one keeps dispatching window messages and animating the layers.
#pragma once

#include <cstdint>

namespace vellumite {

struct Engine;
class CommandBinder;

struct TimerState {
  uint32_t timer_base = 0;    // clock milliseconds at the last `resettimer`
  uint32_t timer_target = 0;  // end of the running `waittimer`
};

}  // namespace vellumite
