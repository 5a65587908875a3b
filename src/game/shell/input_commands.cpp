// The commands that stop the game for a dialog: `inputstr` and `inputnum`
// ask the player for a text or a number, `mesbox` shows a message box.
#include "base/sjis.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "game/shell/dialogs.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

constexpr uint32_t kTimerPeriod = 100;

// The variable operand: `marker` and its number, else a syntax error.
size_t read_target(Engine& e, char marker, std::string_view wrong_kind) {
  skip_blanks(e);
  if (current_byte(e) != marker) script_error(e, "構文エラー", error_message(wrong_kind));
  ++e.script.script_pos;
  return checked_variable(e, read_number(e));
}

// The four optional sizes, present when a comma follows.
void read_layout(Engine& e, InputRequest& request) {
  skip_blanks(e);
  if (current_byte(e) != ',') return;
  request.custom_layout = true;
  for (size_t i = 0; i < request.sizes_pt.size(); ++i) {
    expect_comma(e);
    request.sizes_pt[i] = read_number(e);
  }
}

void cmd_inputstr(Engine& e) {
  size_t var = read_target(e, '$', "inputstrの第一引数は文字変数です。");
  InputRequest request;
  expect_comma(e);
  read_string(e, request.prompt);
  expect_comma(e);
  request.max_length = read_number(e);
  expect_comma(e);
  request.full_width = read_number(e) == 1;
  read_layout(e, request);
  e.vars.str_vars[var] = run_input_dialog(e, request);
}

void cmd_inputnum(Engine& e) {
  size_t var = read_target(e, '%', "inputnumの第一引数は数字変数です。");
  InputRequest request;
  request.number = true;
  expect_comma(e);
  read_string(e, request.prompt);
  read_layout(e, request);
  // The value goes in as it is: the variable's limits do not apply.
  e.vars.num_vars[var] = input_number_value(run_input_dialog(e, request));
}

void cmd_mesbox(Engine& e) {
  std::string text, title;
  read_string(e, text);
  expect_comma(e);
  read_string(e, title);
  // Timer 1 rests while the box is open, so its work does not run meanwhile.
  e.platform.kill_timer();
  e.shell.timer_running = false;
  message_box(e, to_utf8(title), to_utf8(text), BoxButtons::Ok);
  e.platform.start_timer(kTimerPeriod);
  e.shell.timer_running = true;
}

}  // namespace

void bind_input_commands(CommandBinder& binder) {
  binder.bind("inputstr", cmd_inputstr);
  binder.bind("inputnum", cmd_inputnum);
  binder.bind("mesbox", cmd_mesbox);
}

}  // namespace vellumite
