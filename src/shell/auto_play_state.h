// State of the auto player (the game playing itself for its author) and of
// the start label given to the run.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vellumite {

// At most this many plays of the game from its start: the auto player
// restarts after `end` while some option of a choice met so far was never
// taken.
constexpr int kAutoRounds = 50;

// A choice or button wait at one place of the scenario, met in any round.
struct AutoChoicePoint {
  uint32_t visits = 0;
  std::vector<bool> taken;  // one for each option
};

struct AutoPlayState {
  bool started = false;  // the options were taken from the run (once)
  bool on = false;
  bool seeded = false;
  uint64_t random_state = 0;
  std::string warp_label;  // Shift-JIS, lowercase, without the '*'; empty: none
  bool warp_pending = false;
  int pages = 0;
  int choices = 0;
  int rounds = 1;
  std::map<int32_t, AutoChoicePoint> points;  // by the scenario position of the wait
  int last_x = 0;                             // where the last answer clicked
  int last_y = 0;
  bool last_right = false;
};

}  // namespace vellumite
