#include "game/shell/auto_play.h"

#include <algorithm>

#include "base/sjis.h"
#include "game/script/labels.h"
#include "game/shell/window_proc.h"

namespace vellumite {
namespace {

void lowercase_ascii(std::string& s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
}

// xorshift64*: the same picks for the same seed on every machine.
uint32_t next_random(AutoPlayState& a) {
  uint64_t x = a.random_state;
  x ^= x >> 12;
  x ^= x << 25;
  x ^= x >> 27;
  a.random_state = x;
  return static_cast<uint32_t>((x * 0x2545F4914F6CDD1Dull) >> 32);
}

// The option to take at the choice point at the current scenario position.
int pick_option(Engine& e, int options) {
  AutoPlayState& a = e.autoplay;
  AutoChoicePoint& point = a.points[e.script.script_pos];
  if (point.taken.size() < static_cast<size_t>(options)) {
    point.taken.resize(static_cast<size_t>(options), false);
  }
  const auto count = static_cast<uint32_t>(options);
  const int pick = static_cast<int>(a.seeded ? next_random(a) % count : point.visits % count);
  ++point.visits;
  point.taken[static_cast<size_t>(pick)] = true;
  return pick;
}

bool every_option_taken(const AutoPlayState& a) {
  return std::all_of(a.points.begin(), a.points.end(), [](const auto& entry) {
    const std::vector<bool>& taken = entry.second.taken;
    return std::all_of(taken.begin(), taken.end(), [](bool t) { return t; });
  });
}

void say(Engine& e, const std::string& line) {
  e.automation.report("auto: " + line);
  if (e.automation.tracing()) e.automation.trace("auto", line);
}

}  // namespace

void prepare_play(Engine& e) {
  AutoPlayState& a = e.autoplay;
  ScriptState& s = e.script;
  if (!a.started) {
    a.started = true;
    const PlayOptions& options = e.automation.play_options();
    a.on = options.auto_play;
    a.seeded = options.seed.has_value();
    // The state of xorshift must not be 0.
    a.random_state = (uint64_t{options.seed.value_or(0)} << 1) | 1;
    const std::string_view warp = options.warp_label;
    a.warp_label = to_sjis(warp.starts_with('*') ? warp.substr(1) : warp);
    lowercase_ascii(a.warp_label);
    a.warp_pending = !a.warp_label.empty();
    if (a.warp_pending && s.label_index.count(a.warp_label) == 0) {
      e.platform.log("--warp: the game has no label *" + options.warp_label);
      throw ProgramExit{64};
    }
  }
  // The labels are the same in every round: what was reached is kept.
  if (a.on && s.labels_reached.size() != static_cast<size_t>(s.label_count)) {
    s.labels_reached.assign(static_cast<size_t>(s.label_count), false);
  }
}

void warp_if_pending(Engine& e) {
  AutoPlayState& a = e.autoplay;
  if (!a.warp_pending) return;
  a.warp_pending = false;
  jump_to_label(e, a.warp_label);
}

void auto_answer(Engine& e, const WaitRules& rules, bool resumed) {
  AutoPlayState& a = e.autoplay;
  const std::string_view kind = rules.kind;
  if (!resumed) {
    if (rules.auto_items > 0 && rules.auto_point) {
      const int pick = pick_option(e, rules.auto_items);
      std::tie(a.last_x, a.last_y) = rules.auto_point(pick);
      a.last_right = false;
      if (kind == "choice" || kind == "button") ++a.choices;
    } else {
      // Leaving a menu, the slot list or the history takes a right click;
      // everything else a click where the pointer is.
      a.last_x = e.shell.mouse_x;
      a.last_y = e.shell.mouse_y;
      a.last_right = kind == "menu" || kind == "history" || kind.starts_with("slots");
      if (kind.starts_with("page")) ++a.pages;
    }
  }
  Platform& p = e.platform;
  p.post_message(Message{MessageKind::MouseMove, a.last_x, a.last_y, 0});
  p.post_message(Message{a.last_right ? MessageKind::RButtonDown : MessageKind::LButtonDown,
                         a.last_x, a.last_y, 0});
  p.post_message(Message{a.last_right ? MessageKind::RButtonUp : MessageKind::LButtonUp, a.last_x,
                         a.last_y, 0});
}

std::string auto_input_answer(const InputRequest& request) {
  if (request.number) return "0";
  // Two bytes: one full-width character, or two of any kind.
  if (request.max_length < 2) return "a";
  return request.full_width ? to_sjis("あ") : std::string("ab");
}

bool auto_restarts_at_end(Engine& e) {
  AutoPlayState& a = e.autoplay;
  if (!a.on || a.rounds >= kAutoRounds || every_option_taken(a)) return false;
  ++a.rounds;
  if (e.automation.tracing()) e.automation.trace("auto", "round " + std::to_string(a.rounds));
  a.warp_pending = !a.warp_label.empty();
  // The game starts over as with `definereset`: the define block runs again.
  count_restart(e);
  e.script.restart_requested = true;
  return true;
}

void report_auto_play(Engine& e) {
  const AutoPlayState& a = e.autoplay;
  const ScriptState& s = e.script;
  if (!a.on) return;
  const auto reached = std::count(s.labels_reached.begin(), s.labels_reached.end(), true);
  say(e, std::to_string(a.pages) + " pages, " + std::to_string(a.choices) + " choices, " +
             std::to_string(reached) + " of " + std::to_string(s.labels_reached.size()) +
             " labels reached, " + std::to_string(a.rounds) +
             (a.rounds == 1 ? " round" : " rounds"));
  for (size_t i = 0; i < s.labels_reached.size() && i < s.label_table.size(); ++i) {
    if (s.labels_reached[i]) continue;
    // The label's own line: its position is that of the line after it.
    int32_t at = s.label_table[i].position;
    if (at > 0 && s.script_buffer != nullptr && s.script_buffer[at - 1] == '\n') --at;
    const FileLine where = locate_position(e, at);
    say(e, "not reached: *" + to_utf8(s.label_table[i].name) + " (" + std::to_string(where.file) +
               ".txt:" + std::to_string(where.line) + ")");
  }
}

void note_label_line(Engine& e, int32_t position) {
  ScriptState& s = e.script;
  // Labels are kept in the order of the scenario; the one on this line is
  // the first whose position lies beyond its '*'.
  auto it = std::upper_bound(s.label_table.begin(), s.label_table.end(), position,
                             [](int32_t pos, const Label& label) { return pos < label.position; });
  if (it == s.label_table.end()) return;
  const auto index = static_cast<size_t>(it - s.label_table.begin());
  if (index < s.labels_reached.size()) s.labels_reached[index] = true;
}

}  // namespace vellumite
