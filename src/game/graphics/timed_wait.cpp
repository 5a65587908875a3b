#include "game/graphics/timed_wait.h"

#include <algorithm>

#include "game/engine.h"
#include "game/graphics/layers.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

void cmd_delay(Engine& e) { timed_wait(e, read_number(e), true); }

void cmd_wait(Engine& e) { timed_wait(e, read_number(e), false); }

void cmd_resettimer(Engine& e) { timer_state(e).timer_base = e.platform.ticks(); }

// Waits until `ms` after the last `resettimer`; clicks do not end it. A
// target that already lies behind the clock ends it after one message.
void cmd_waittimer(Engine& e) {
  const int32_t ms = read_number(e);
  TimerState& timer = timer_state(e);
  timer.timer_target = timer.timer_base + static_cast<uint32_t>(ms);
  const uint32_t target = timer.timer_target;
  pump_message(e);
  WaitRules rules;
  rules.until = [target] { return std::optional<uint32_t>(target); };
  run_wait(e, rules);
}

void cmd_gettimer(Engine& e) {
  skip_blanks(e);
  if (current_byte(e) != '%') {
    script_error(e, "構文エラー", error_message("gettimerの引数は数字変数です。"));
  }
  ++e.script.script_pos;
  const size_t variable = checked_variable(e, read_number(e));
  e.vars.num_vars[variable] = static_cast<int32_t>(e.platform.ticks() - timer_state(e).timer_base);
  apply_int_limits(e.vars);
}

}  // namespace

void timed_wait(Engine& e, int32_t ms, bool clickable) {
  Platform& p = e.platform;
  p.remove_messages(MessageKind::LButtonUp);
  p.remove_messages(MessageKind::Char);
  // A negative time waits no time rather than most of the clock's range.
  const uint32_t end = p.ticks() + static_cast<uint32_t>(std::max(ms, 0));
  if (clickable) begin_player_wait(e, "delay", true);
  WaitRules rules;
  rules.until = [end] { return std::optional<uint32_t>(end); };
  rules.first_round_unchecked = true;
  rules.after_poll = [clickable](const Message* m) {
    return clickable && m != nullptr && m->kind == MessageKind::LButtonUp;
  };
  run_wait(e, rules);
}

void bind_timed_wait_commands(CommandBinder& binder) {
  binder.bind("delay", cmd_delay);
  binder.bind("wait", cmd_wait);
  binder.bind("resettimer", cmd_resettimer);
  binder.bind("waittimer", cmd_waittimer);
  binder.bind("gettimer", cmd_gettimer);
}

}  // namespace vellumite
