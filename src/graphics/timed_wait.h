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

// The engine's script timer.
TimerState& timer_state(Engine& e);

// Waits `ms` milliseconds of the clock while messages are dispatched and
// the layers animate. With `clickable`, a left-button release ends the wait
// early and the platform is told that a wait the player may end began. A
// wait of 0 or fewer milliseconds still dispatches one message and animates
// once. Clicks and characters that were waiting before it are dropped.
void timed_wait(Engine& e, int32_t ms, bool clickable);

// The commands `delay`, `wait`, `resettimer`, `waittimer`, `gettimer`.
void bind_timed_wait_commands(CommandBinder& binder);

}  // namespace vellumite
