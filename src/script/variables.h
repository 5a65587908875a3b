// Numeric and string variables, aliases, limits and the random generator.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/name_index.h"

namespace vellumite {

struct Engine;

constexpr int kVariableCount = 4096;
constexpr int kLocalVariables = 200;  // 0..199 are local, 200..4095 global
constexpr int kMaxAliases = 4096;

struct IntLimit {
  int32_t lower = -1;
  int32_t upper = -1;  // -1: no limits at all
};

struct NumAlias {
  std::string name;
  int32_t value = 0;
};

struct StrAlias {
  std::string name;
  std::string text;
};

struct VarState {
  std::array<int32_t, kVariableCount> num_vars{};
  std::array<std::string, kVariableCount> str_vars;
  std::array<IntLimit, kVariableCount> int_limit;
  // Variables whose upper limit is not -1, so applying the limits visits only
  // these.
  std::vector<int> limited_vars;

  std::vector<NumAlias> num_alias_table;
  std::vector<StrAlias> str_alias_table;
  // First definition of each name.
  NameIndex num_alias_index;
  NameIndex str_alias_index;

  uint32_t random_state = 1;
};

// Resets limits and aliases (every cycle start).
void reset_variable_tables(VarState& vars);
// Local variables 0..199 back to 0 and empty.
void clear_local_variables(VarState& vars);
// Global variables 200..4095 to 0 and empty.
void clear_global_variables(VarState& vars);

void seed_random(VarState& vars, uint32_t seed);
// One draw, 0..32767.
int32_t draw_random(VarState& vars);

// Clamps every limited variable into its limits.
void apply_int_limits(VarState& vars);

// Alias lookups used by the readers; null when the name is not defined.
const int32_t* find_num_alias(const VarState& vars, std::string_view name);
const std::string* find_str_alias(const VarState& vars, std::string_view name);

}  // namespace vellumite
