#include "game/shell/player_wait.h"

#include <algorithm>

#include "game/audio/sound.h"
#include "game/graphics/layers.h"
#include "game/graphics/picture.h"
#include "game/shell/auto_play.h"
#include "game/shell/window_proc.h"

namespace vellumite {
namespace {

// Messages that are the player's doing; the others (timer, paint, media)
// do not count as input a wait has handled.
bool counts_as_input(MessageKind kind) {
  return kind != MessageKind::Timer && kind != MessageKind::Paint &&
         kind != MessageKind::MediaNotify;
}

// Milliseconds from `now` until an animated picture's next cell, as
// animate_layers() decides it; none when it will not change.
std::optional<uint32_t> frame_in(const Picture& p, uint32_t now) {
  const uint32_t elapsed = now - p.anim_time;
  const uint32_t interval = static_cast<uint32_t>(cell_interval(p, p.cell));
  const int64_t next = int64_t{p.cell} + p.anim_step;
  if (p.loop_mode == kLoopStop && (next < 0 || next >= p.cells)) {
    // A stopped picture only settles on its last cell, once due.
    if (p.cell == p.cells - 1) return std::nullopt;
  }
  if (elapsed > interval) return 0;
  return interval - elapsed + 1;
}

}  // namespace

std::optional<uint32_t> next_layer_frame(Engine& e) {
  const GraphicsState& g = e.graphics;
  const uint32_t now = e.platform.ticks();
  std::optional<uint32_t> soonest;
  auto consider = [&](const Picture& p) {
    std::optional<uint32_t> in = frame_in(p, now);
    if (in && (!soonest || *in < *soonest)) soonest = in;
  };
  for (const SpriteSlot& slot : g.layers.sprites) {
    if (slot.name.empty() || slot.visible == 0 || slot.picture.cells <= 1) continue;
    consider(slot.picture);
  }
  for (const StandingSlot& slot : g.layers.standing) {
    if (slot.name.empty() || slot.picture.cells <= 1) continue;
    consider(slot.picture);
  }
  if (!soonest) return std::nullopt;
  return now + *soonest;
}

void run_wait(Engine& e, const WaitRules& rules) {
  Platform& p = e.platform;
  const bool player = !rules.kind.empty();
  auto ends_by_time = [&] { return rules.ends_by_time && rules.ends_by_time(); };
  // Whether the player is to be asked (again) once the queue runs dry.
  bool ask = player && rules.begin_when_idle;
  bool begun = false;
  // The auto player answers a wait a few times at most: an answer that
  // never ends it leaves the wait to its time limit.
  int auto_answers = 0;
  auto begin = [&] {
    const bool by_time = ends_by_time();
    begin_player_wait(e, rules.kind, by_time, begun);
    if (e.autoplay.on && !by_time && auto_answers++ < 8) auto_answer(e, rules, begun);
    begun = true;
  };
  if (player && !rules.begin_when_idle) begin();
  for (bool first = true;; first = false) {
    if (!first || !rules.first_round_unchecked) {
      if (rules.ended && rules.ended()) return;
      if (rules.until) {
        if (std::optional<uint32_t> end = rules.until(); end && reached(p.ticks(), *end)) return;
      }
    }
    Message m;
    const bool got = p.peek_message(m, true);
    bool asked = false;
    if (got) {
      if (rules.dispatch) dispatch_message(e, m);
      if (player && counts_as_input(m.kind)) ask = true;
    } else if (ask) {
      ask = false;
      asked = true;
      begin();
    }
    if (rules.after_poll && rules.after_poll(got ? &m : nullptr)) return;

    const bool animates = !asked || rules.animate_when_beginning;
    std::optional<uint32_t> own_frame;
    if (animates && rules.animate_layers) animate_layers(e);
    if (animates && rules.animate) own_frame = rules.animate();
    if (got || !animates) {
      // A round that did something, or skipped its animation, only yields:
      // the next one looks again at once.
      if (!got || rules.yield_after_message) p.yield();
      continue;
    }
    // An empty round: sleep until something can happen.
    const uint32_t now = p.ticks();
    uint32_t ahead = static_cast<uint32_t>(INT32_MAX);
    auto consider = [&](std::optional<uint32_t> when) {
      if (when) ahead = std::min(ahead, reached(now, *when) ? 0 : *when - now);
    };
    consider(own_frame);
    if (rules.animate_layers) consider(next_layer_frame(e));
    if (rules.until) consider(rules.until());
    p.set_timer_work(audio_needs_timer(e));
    p.wait_message(now + ahead, rules.yield_after_message);
  }
}

WaitRules modal_wait_rules() {
  WaitRules rules;
  rules.dispatch = false;
  rules.animate_layers = false;
  rules.yield_after_message = false;
  return rules;
}

void count_restart(Engine& e) {
  ShellState& shell = e.shell;
  if (shell.restarted && e.platform.ticks() == shell.last_restart_ms) e.platform.sleep(1);
  shell.restarted = true;
  shell.last_restart_ms = e.platform.ticks();
}

}  // namespace vellumite
