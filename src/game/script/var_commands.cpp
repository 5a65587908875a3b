// The commands that assign and compute variables, define aliases and limits,
// and fetch values from the registry and from profile files.
//
// Numeric variables are signed 32-bit and every operation wraps around; the
// arithmetic is done on unsigned values so that overflow is defined.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/sjis.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

const char* const kSyntaxErrorTitle = "構文エラー";
const char* const kRuntimeErrorTitle = "実行時エラー";
const char* const kDivideErrorTitle = "０除算エラー";
const char* const kAliasErrorTitle = "エラー";

// What a registry or profile value may hold: both are read into 256-byte
// buffers, so 255 bytes and the terminator; games expect longer values cut.
constexpr size_t kValueBufferBytes = 256;

// A string variable holds at most this many bytes, far above any text line:
// a scenario that doubles a string in a loop stops with an error instead of
// taking all memory.
constexpr size_t kMaxStringBytes = size_t{1} << 20;

// The first argument must be a numeric variable: `%` and its number. Reports
// `wrong_kind` when it is something else.
size_t read_num_target(Engine& e, std::string_view wrong_kind) {
  skip_blanks(e);
  if (current_byte(e) != '%') script_error(e, kSyntaxErrorTitle, error_message(wrong_kind));
  ++e.script.script_pos;
  return checked_variable(e, read_number(e));
}

// The same for a string variable: `$` and its number.
size_t read_str_target(Engine& e, std::string_view wrong_kind) {
  skip_blanks(e);
  if (current_byte(e) != '$') script_error(e, kSyntaxErrorTitle, error_message(wrong_kind));
  ++e.script.script_pos;
  return checked_variable(e, read_number(e));
}

// For mov and add, whose first argument may be of either kind: the variable
// number, and whether it is a string variable.
size_t read_any_target(Engine& e, std::string_view wrong_kind, bool& is_string) {
  skip_blanks(e);
  char c = current_byte(e);
  if (c != '%' && c != '$') script_error(e, kSyntaxErrorTitle, error_message(wrong_kind));
  is_string = c == '$';
  ++e.script.script_pos;
  return checked_variable(e, read_number(e));
}

int32_t wrap(uint32_t value) { return static_cast<int32_t>(value); }
uint32_t bits(int32_t value) { return static_cast<uint32_t>(value); }

// Stores a numeric result and clamps the limited variables.
void store(Engine& e, size_t index, int32_t value) {
  e.vars.num_vars[index] = value;
  apply_int_limits(e.vars);
}

void cmd_mov(Engine& e) {
  bool is_string = false;
  size_t index = read_any_target(e, "movの第一引数は数字／文字変数です。", is_string);
  expect_comma(e);
  if (is_string) {
    std::string text;
    read_string(e, text);
    e.vars.str_vars[index] = std::move(text);
  } else {
    store(e, index, read_number(e));
  }
}

void cmd_mov5(Engine& e) {
  constexpr int kCount = 5;
  size_t first = read_num_target(e, "mov5の第一引数は数字変数です。");
  // The last of the five must exist too; checked before anything is written.
  checked_variable(e, static_cast<int32_t>(first) + kCount - 1);
  for (int i = 0; i < kCount; ++i) {
    expect_comma(e);
    e.vars.num_vars[first + static_cast<size_t>(i)] = read_number(e);
  }
  apply_int_limits(e.vars);
}

void cmd_add(Engine& e) {
  bool is_string = false;
  size_t index = read_any_target(e, "addの第一引数は数字／文字変数です。", is_string);
  expect_comma(e);
  if (is_string) {
    std::string text;
    read_string(e, text);
    std::string& target = e.vars.str_vars[index];
    if (text.size() > kMaxStringBytes - target.size()) {
      script_error(e, kRuntimeErrorTitle,
                   std::string(e.script.current_command) + error_message("の文字列が長すぎます。"));
    }
    target += text;
  } else {
    int32_t operand = read_number(e);
    store(e, index, wrap(bits(e.vars.num_vars[index]) + bits(operand)));
  }
}

void cmd_sub(Engine& e) {
  size_t index = read_num_target(e, "subの第一引数は数字変数です。");
  expect_comma(e);
  int32_t operand = read_number(e);
  store(e, index, wrap(bits(e.vars.num_vars[index]) - bits(operand)));
}

void cmd_inc(Engine& e) {
  size_t index = read_num_target(e, "incの引数は数字変数です。");
  store(e, index, wrap(bits(e.vars.num_vars[index]) + 1u));
}

void cmd_dec(Engine& e) {
  size_t index = read_num_target(e, "decの引数は数字変数です。");
  store(e, index, wrap(bits(e.vars.num_vars[index]) - 1u));
}

void cmd_mul(Engine& e) {
  size_t index = read_num_target(e, "mulの第一引数は数字変数です。");
  expect_comma(e);
  int32_t operand = read_number(e);
  store(e, index, wrap(bits(e.vars.num_vars[index]) * bits(operand)));
}

// Quotient rounded toward zero; the one quotient that does not fit,
// INT_MIN / -1, wraps around to INT_MIN.
int32_t divide(int32_t a, int32_t b) {
  if (a == INT32_MIN && b == -1) return INT32_MIN;
  return a / b;
}

// Remainder with the sign of the dividend; INT_MIN % -1 is 0.
int32_t remainder_of(int32_t a, int32_t b) {
  if (b == -1) return 0;
  return a % b;
}

void cmd_div(Engine& e) {
  size_t index = read_num_target(e, "divの第一引数は数字変数です。");
  expect_comma(e);
  int32_t divisor = read_number(e);
  if (divisor == 0) script_error(e, kDivideErrorTitle, error_message("０で除算しました。"));
  store(e, index, divide(e.vars.num_vars[index], divisor));
}

void cmd_mod(Engine& e) {
  size_t index = read_num_target(e, "modの第一引数は数字変数です。");
  expect_comma(e);
  int32_t divisor = read_number(e);
  if (divisor == 0) script_error(e, kDivideErrorTitle, error_message("０で剰余演算しました。"));
  store(e, index, remainder_of(e.vars.num_vars[index], divisor));
}

void cmd_rnd(Engine& e) {
  size_t index = read_num_target(e, "rndの第一引数は数字変数です。");
  expect_comma(e);
  int32_t divisor = read_number(e);
  // A draw can only be reduced into 0..n-1 when there is such a range.
  if (divisor <= 0) {
    script_error(e, kRuntimeErrorTitle,
                 std::string(e.script.current_command) + error_message("の除数が0以下です。"));
  }
  store(e, index, draw_random(e.vars) % divisor);
}

void cmd_rnd2(Engine& e) {
  size_t index = read_num_target(e, "rnd2の第一引数は数字変数です。");
  expect_comma(e);
  int32_t low = read_number(e);
  expect_comma(e);
  int32_t high = read_number(e);
  // The width of low..high in 64 bits, so that a range wider than 2^31 does
  // not wrap around into a negative divisor.
  int64_t width = int64_t{high} - int64_t{low} + 1;
  if (width <= 0) {
    script_error(
        e, kRuntimeErrorTitle,
        std::string(e.script.current_command) + error_message("の上限が下限より小さいです。"));
  }
  int64_t value = int64_t{low} + draw_random(e.vars) % width;
  store(e, index, static_cast<int32_t>(value));
}

void cmd_len(Engine& e) {
  size_t index = read_num_target(e, "lenの第一引数は数字変数です。");
  expect_comma(e);
  std::string text;
  read_string(e, text);
  // No limits here: the next arithmetic command corrects the value.
  e.vars.num_vars[index] = static_cast<int32_t>(text.size());
}

void cmd_intlimit(Engine& e) {
  int index = static_cast<int>(checked_variable(e, read_number(e)));
  expect_comma(e);
  int32_t lower = read_number(e);
  expect_comma(e);
  int32_t upper = read_number(e);
  VarState& vars = e.vars;
  vars.int_limit[static_cast<size_t>(index)] = IntLimit{lower, upper};
  // Keep the list of limited variables in step: an upper limit of -1 means
  // no limits at all.
  auto it = std::find(vars.limited_vars.begin(), vars.limited_vars.end(), index);
  bool listed = it != vars.limited_vars.end();
  if (upper != -1 && !listed) vars.limited_vars.push_back(index);
  if (upper == -1 && listed) vars.limited_vars.erase(it);
}

void cmd_numalias(Engine& e) {
  VarState& vars = e.vars;
  if (vars.num_alias_table.size() >= kMaxAliases) {
    script_error(e, kAliasErrorTitle, error_message("数字エイリアスが多すぎます。"));
  }
  NumAlias alias;
  read_token(e, alias.name);
  if (find_num_alias(vars, alias.name) != nullptr) {
    script_error(e, kAliasErrorTitle,
                 error_message("数字エイリアス%sが二重定義されています。", alias.name));
  }
  expect_comma(e);
  alias.value = read_number(e);
  vars.num_alias_index.insert(alias.name, static_cast<int>(vars.num_alias_table.size()));
  vars.num_alias_table.push_back(std::move(alias));
}

void cmd_stralias(Engine& e) {
  VarState& vars = e.vars;
  if (vars.str_alias_table.size() >= kMaxAliases) {
    script_error(e, kAliasErrorTitle, error_message("文字列エイリアスが多すぎます。"));
  }
  StrAlias alias;
  read_token(e, alias.name);
  if (find_str_alias(vars, alias.name) != nullptr) {
    script_error(e, kAliasErrorTitle,
                 error_message("文字列エイリアス%sが二重定義されています。", alias.name));
  }
  expect_comma(e);
  read_string(e, alias.text);
  vars.str_alias_index.insert(alias.name, static_cast<int>(vars.str_alias_table.size()));
  vars.str_alias_table.push_back(std::move(alias));
}

void cmd_getreg(Engine& e) {
  size_t index = read_str_target(e, "getregの第一引数は文字変数です。");
  expect_comma(e);
  std::string key_path, value_name;
  read_string(e, key_path);
  expect_comma(e);
  read_string(e, value_name);
  std::optional<std::string> value =
      e.platform.read_registry_value(to_utf8(key_path), to_utf8(value_name));
  std::string text = value ? to_sjis(*value) : std::string();
  // A value that does not fit the buffer with its terminator cannot be read
  // at all, so the variable becomes empty.
  if (text.size() >= kValueBufferBytes) text.clear();
  e.vars.str_vars[index] = std::move(text);
}

// Cuts `text` to what fits the buffer with its terminator, never between the
// two bytes of a character.
void cut_to_buffer(std::string& text) {
  if (text.size() < kValueBufferBytes) return;
  size_t end = 0;
  while (end < text.size()) {
    size_t step = is_sjis_lead(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + step > kValueBufferBytes - 1) break;
    end += step;
  }
  text.resize(end);
}

void cmd_getini(Engine& e) {
  size_t index = read_str_target(e, "getiniの第一引数は文字変数です。");
  expect_comma(e);
  std::string file, section, key;
  read_string(e, file);
  expect_comma(e);
  read_string(e, section);
  expect_comma(e);
  read_string(e, key);
  std::optional<std::string> value =
      e.platform.read_profile_string(to_utf8(file), to_utf8(section), to_utf8(key));
  std::string text = value ? to_sjis(*value) : std::string();
  cut_to_buffer(text);
  e.vars.str_vars[index] = std::move(text);
}

}  // namespace

void bind_variable_commands(CommandBinder& binder) {
  binder.bind("mov", cmd_mov);
  binder.bind("mov5", cmd_mov5);
  binder.bind("add", cmd_add);
  binder.bind("sub", cmd_sub);
  binder.bind("inc", cmd_inc);
  binder.bind("dec", cmd_dec);
  binder.bind("mul", cmd_mul);
  binder.bind("div", cmd_div);
  binder.bind("mod", cmd_mod);
  binder.bind("rnd", cmd_rnd);
  binder.bind("rnd2", cmd_rnd2);
  binder.bind("len", cmd_len);
  binder.bind("intlimit", cmd_intlimit);
  binder.bind("numalias", cmd_numalias);
  binder.bind("stralias", cmd_stralias);
  binder.bind("getreg", cmd_getreg);
  binder.bind("getini", cmd_getini);
}

}  // namespace vellumite
