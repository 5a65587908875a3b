#include "game/script/control_flow.h"

#include "game/script/labels.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "script/command_table.h"

namespace vellumite {

namespace {

[[noreturn]] void bad_condition(Engine& e) {
  script_error(e, "エラー", error_message("if条件式が間違っています。"));
}

[[noreturn]] void skip_out_of_range(Engine& e) {
  script_error(e, "構文エラー", error_message("SKIPがスクリプトの範囲を飛び出しました。"));
}

// Everything left on the physical line is dropped, statements after a ':'
// included; at the end of the scenario the position stays on the NUL.
void skip_rest_of_line(Engine& e) {
  skip_to_line_end(e);
  if (current_byte(e) == '\n') ++e.script.script_pos;
}

// Reads one condition of `if` or `notif` and returns its value. A '!' where
// the operator belongs that is not part of "!=" reads no operator: the
// condition keeps `previous` (the value of the condition before it in the
// same command) and reading goes on from the '!'.
bool read_condition(Engine& e, bool previous) {
  skip_blanks(e);
  if (current_byte(e) == 'f') {
    std::string word;
    read_token(e, word);
    if (word != "fchk") bad_condition(e);
    if (e.script.define_mode) {
      script_error(e, "エラー", error_message("fchk条件式は、定義ブロックでは使えません。"));
    }
    std::string name;
    read_string(e, name);
    return file_log_contains(e, name);
  }

  int32_t left = read_number(e);
  skip_blanks(e);
  const char* buf = e.script.script_buffer.get();
  int32_t pos = e.script.script_pos;
  // The byte after an operator character is at most the terminating NUL.
  char first = buf[pos];
  char second = first == '\0' ? '\0' : buf[pos + 1];
  enum class Op { Equal, NotEqual, GreaterEqual, LessEqual, Greater, Less } op;
  int width = 1;
  switch (first) {
    case '=':
      op = Op::Equal;
      if (second == '=') width = 2;
      break;
    case '!':
      if (second != '=') return previous;
      op = Op::NotEqual;
      width = 2;
      break;
    case '<':
      if (second == '>') {
        op = Op::NotEqual;
        width = 2;
      } else if (second == '=') {
        op = Op::LessEqual;
        width = 2;
      } else {
        op = Op::Less;
      }
      break;
    case '>':
      if (second == '=') {
        op = Op::GreaterEqual;
        width = 2;
      } else {
        op = Op::Greater;
      }
      break;
    default: bad_condition(e);
  }
  e.script.script_pos = pos + width;
  int32_t right = read_number(e);
  switch (op) {
    case Op::Equal: return left == right;
    case Op::NotEqual: return left != right;
    case Op::GreaterEqual: return left >= right;
    case Op::LessEqual: return left <= right;
    case Op::Greater: return left > right;
    case Op::Less: return left < right;
  }
  return false;
}

// Evaluates the conditions from left to right while each has the value
// `go_on`; the first that does not drops the rest of the line. When all of
// them have it, the statements behind the conditions run.
void run_conditional(Engine& e, bool go_on) {
  bool value = false;
  for (;;) {
    value = read_condition(e, value);
    if (value != go_on) {
      skip_rest_of_line(e);
      return;
    }
    if (current_byte(e) != '&') return;
    ++e.script.script_pos;
    if (current_byte(e) == '&') ++e.script.script_pos;
  }
}

void cmd_if(Engine& e) { run_conditional(e, true); }

void cmd_notif(Engine& e) { run_conditional(e, false); }

void cmd_cmp(Engine& e) {
  skip_blanks(e);
  if (current_byte(e) != '%') {
    script_error(e, "構文エラー", error_message("cmpの第一引数は数字変数です。"));
  }
  ++e.script.script_pos;
  size_t index = checked_variable(e, read_number(e));
  std::string a, b;
  expect_comma(e);
  read_string(e, a);
  expect_comma(e);
  read_string(e, b);
  // std::string compares its bytes as unsigned char, and a prefix sorts first.
  int order = a.compare(b);
  e.vars.num_vars[index] = order < 0 ? -1 : (order > 0 ? 1 : 0);
}

void cmd_goto(Engine& e) {
  TokenScratch scratch;
  std::string text;
  jump_to_label(e, read_label(e, scratch, text));
}

// Moves to the start of the `lines`-th line after the current one.
void skip_forward(Engine& e, int32_t lines) {
  const char* buf = e.script.script_buffer.get();
  int32_t pos = e.script.script_pos;
  for (int32_t i = 0; i < lines; ++i) {
    while (buf[pos] != '\n') {
      if (buf[pos] == '\0') skip_out_of_range(e);
      ++pos;
    }
    ++pos;
  }
  e.script.script_pos = pos;
}

// Moves to the start of the `lines`-th line before the current one. Each
// step looks back for the line feed in front of the line it stands in and
// then moves onto the last byte of the line before; the first line of the
// scenario has no line feed in front of it, which is only acceptable in the
// last step.
void skip_backward(Engine& e, int64_t lines) {
  const char* buf = e.script.script_buffer.get();
  int32_t pos = e.script.script_pos;
  // A skip that ends its line stands on that line's own line feed.
  if (pos > 0 && buf[pos] == '\n') --pos;
  int64_t steps = lines + 1;
  for (int64_t step = 1; step <= steps; ++step) {
    while (pos >= 0 && buf[pos] != '\n') --pos;
    if (pos < 0) {
      if (step < steps) skip_out_of_range(e);
      e.script.script_pos = 0;
      return;
    }
    --pos;
  }
  e.script.script_pos = pos + 1;
}

void cmd_skip(Engine& e) {
  int32_t n = read_number(e);
  if (n > 0) {
    skip_forward(e, n);
  } else if (n < 0) {
    skip_backward(e, -int64_t{n});
  }
}

void cmd_gosub(Engine& e) {
  ScriptState& s = e.script;
  if (s.gosub_depth >= kGosubDepth) {
    script_error(e, "スタックエラー", error_message("gosub文のせいでスタックが溢れました。"));
  }
  TokenScratch scratch;
  std::string text;
  const std::string_view label = read_label(e, scratch, text);
  s.gosub_stack[static_cast<size_t>(s.gosub_depth)] = s.script_pos;
  ++s.gosub_depth;
  jump_to_label(e, label);
}

void cmd_return(Engine& e) {
  ScriptState& s = e.script;
  if (s.gosub_depth <= 0) {
    script_error(e, "スタックエラー", error_message("returnとgosub文が正しく対応していません。"));
  }
  --s.gosub_depth;
  s.script_pos = s.gosub_stack[static_cast<size_t>(s.gosub_depth)];
}

// Arms or disarms the trap that the interpreter checks between statements.
// Arming drops clicks and keys that are already waiting, so only input given
// after the `trap` fires it.
void cmd_trap(Engine& e) {
  char c = current_byte(e);
  if (c == '*') {
    read_label(e, e.script.trap_label);
    e.platform.remove_messages(MessageKind::LButtonUp);
    e.platform.remove_messages(MessageKind::Char);
    return;
  }
  if (c == 'o' || c == 'O') {
    std::string word;
    read_token(e, word);
    if (word == "off") {
      e.script.trap_label.clear();
      return;
    }
  }
  script_error(e, "エラー", error_message("trap命令のパラメータは、offもしくは*ラベル名です。"));
}

}  // namespace

void bind_control_flow_commands(CommandBinder& binder) {
  binder.bind("if", cmd_if);
  binder.bind("notif", cmd_notif);
  binder.bind("cmp", cmd_cmp);
  binder.bind("goto", cmd_goto);
  binder.bind("skip", cmd_skip);
  binder.bind("gosub", cmd_gosub);
  binder.bind("return", cmd_return);
  binder.bind("trap", cmd_trap);
}

}  // namespace vellumite
