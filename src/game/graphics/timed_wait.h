// What needs the whole engine, over the graphics types of graphics/timed_wait.h.
#pragma once

#include "graphics/timed_wait.h"

namespace vellumite {

struct Engine;

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
