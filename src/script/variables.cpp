#include "script/variables.h"

#include <algorithm>

namespace vellumite {

void reset_variable_tables(VarState& vars) {
  vars.int_limit.fill(IntLimit{});
  vars.limited_vars.clear();
  vars.num_alias_table.clear();
  vars.str_alias_table.clear();
  vars.num_alias_index.clear();
  vars.str_alias_index.clear();
}

void clear_local_variables(VarState& vars) {
  std::fill_n(vars.num_vars.begin(), kLocalVariables, 0);
  for (int i = 0; i < kLocalVariables; ++i) vars.str_vars[static_cast<size_t>(i)].clear();
}

void clear_global_variables(VarState& vars) {
  std::fill(vars.num_vars.begin() + kLocalVariables, vars.num_vars.end(), 0);
  for (int i = kLocalVariables; i < kVariableCount; ++i) {
    vars.str_vars[static_cast<size_t>(i)].clear();
  }
}

// A linear congruential generator with the constants of the common Windows C
// runtime, so a game's seeded draws give the numbers its author tested with.
void seed_random(VarState& vars, uint32_t seed) { vars.random_state = seed; }

int32_t draw_random(VarState& vars) {
  vars.random_state = vars.random_state * 214013u + 2531011u;
  return static_cast<int32_t>((vars.random_state >> 16) & 0x7FFF);
}

void apply_int_limits(VarState& vars) {
  for (int i : vars.limited_vars) {
    const IntLimit& limit = vars.int_limit[static_cast<size_t>(i)];
    int32_t& value = vars.num_vars[static_cast<size_t>(i)];
    if (value > limit.upper) value = limit.upper;
    if (value < limit.lower) value = limit.lower;
  }
}

const int32_t* find_num_alias(const VarState& vars, std::string_view name) {
  const int i = vars.num_alias_index.find(name);
  return i < 0 ? nullptr : &vars.num_alias_table[static_cast<size_t>(i)].value;
}

const std::string* find_str_alias(const VarState& vars, std::string_view name) {
  const int i = vars.str_alias_index.find(name);
  return i < 0 ? nullptr : &vars.str_alias_table[static_cast<size_t>(i)].text;
}

}  // namespace vellumite
