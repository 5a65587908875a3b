// The commands of the text window: its geometry and look, the character
// speed, automatic click waits, the cursor cell, text put out by a command,
// showing, hiding and clearing the window, the default font, the link
// colour, automatic clicking and plain click waits.
#include <algorithm>
#include <string>

#include "base/sjis.h"
#include "game/graphics/effects.h"
#include "game/graphics/layers.h"
#include "game/graphics/picture.h"
#include "game/script/interpreter.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "game/shell/window_proc.h"
#include "game/text/text_window.h"
#include "platform/trace_text.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

// hide_text_window as if the erase flag were on, whatever it is.
void force_hide(Engine& e) {
  TextWindow& w = e.text.window;
  const int32_t erase = w.erase_flag;
  w.erase_flag = 1;
  hide_text_window(e);
  w.erase_flag = erase;
}

int32_t next_number(Engine& e) {
  expect_comma(e);
  return read_number(e);
}

// setwindow x, y, columns, rows, font width, font height, spacing x,
// spacing y, speed, bold, shadow, then #rrggbb, left, top, right, bottom or
// an image tag, left, top.
void cmd_setwindow(Engine& e) {
  TextWindow& w = e.text.window;
  force_hide(e);
  new_page(e);
  history_clear(e.text.history);

  w.origin_x = read_number(e);
  w.origin_y = next_number(e);
  const int32_t columns = next_number(e);
  const int32_t rows = next_number(e);
  if (columns < 0 || rows < 0) {
    script_error(e, "エラー", error_message("setwindowの縦横文字数指定が間違っています。"));
  }
  w.columns = columns;
  w.rows = rows;
  w.font_width = next_number(e);
  w.font_height = next_number(e);
  w.pitch_x = saturate(int64_t{next_number(e)} + w.font_width);
  w.pitch_y = saturate(int64_t{next_number(e)} + w.font_height);
  w.speed = next_number(e);
  w.bold = next_number(e);
  w.shadow = next_number(e);
  expect_comma(e);
  skip_blanks(e);

  Picture& picture = e.graphics.window_picture;
  if (current_byte(e) == '#') {
    w.window_colour = static_cast<int32_t>(
        read_color(e, e.script.script_buffer.get() + e.script.script_pos + 1).rgb());
    e.script.script_pos += 7;
    w.window_left = next_number(e);
    w.window_top = next_number(e);
    w.window_right = next_number(e);
    w.window_bottom = next_number(e);
    w.window_picture_name.clear();
    free_picture(picture);
  } else {
    w.window_colour = -1;
    read_string(e, w.window_picture_name);
    load_picture_from_tag(e, picture, w.window_picture_name);
    w.window_left = next_number(e);
    w.window_top = next_number(e);
    w.window_right = saturate(int64_t{w.window_left} + picture.surface.width - 1);
    w.window_bottom = saturate(int64_t{w.window_top} + picture.surface.height - 1);
  }
  show_screen(e, nullptr);
}

void cmd_textspeed(Engine& e) { e.text.window.speed = read_number(e); }

void cmd_defaultspeed(Engine& e) {
  std::array<int32_t, 3>& speeds = e.text.default_speeds;
  speeds[0] = read_number(e);
  speeds[1] = next_number(e);
  speeds[2] = next_number(e);
}

void cmd_clickstr(Engine& e) {
  std::string chars;
  read_string(e, chars);
  e.text.clickstr_lines = next_number(e);
  e.text.clickstr_chars = std::move(chars);
}

void cmd_br(Engine& e) { new_line(e); }

void cmd_locate(Engine& e) {
  TextWindow& w = e.text.window;
  const int32_t column = read_number(e);
  const int32_t row = next_number(e);
  w.column = column;
  w.row = row;
}

void cmd_puttext(Engine& e) {
  std::string text;
  read_string(e, text);
  if (e.automation.tracing()) e.automation.trace("text", quote_trace_string(to_utf8(text)));
  display_text(e, text);
  if (e.script.reset_requested) game_reset(e);
}

void cmd_texton(Engine& e) { display_text(e, ""); }

void cmd_textoff(Engine& e) { force_hide(e); }

void cmd_textclear(Engine& e) { clear_text_page(e); }

void cmd_textmode(Engine& e) {
  const int32_t mode = read_number(e);
  if (e.text.window.window_shown) hide_text_window(e);
  e.text.window.text_mode = mode;
}

void cmd_erasetextwindow(Engine& e) { e.text.window.erase_flag = read_number(e); }

void cmd_defaultfont(Engine& e) { read_string(e, e.shell.default_font_face); }

// The colour indexes the blend table, so each part is kept to 0..255.
void cmd_linkcolor(Engine& e) {
  TextState& t = e.text;
  const auto channel = [](int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
  const uint8_t red = channel(read_number(e));
  const uint8_t green = channel(next_number(e));
  t.link_colour = {red, green, channel(next_number(e))};
}

void cmd_autoclick(Engine& e) {
  const int32_t ms = read_number(e);
  e.shell.autoclick_active = true;
  e.platform.post_message(Message{MessageKind::Command, 0, 0, kMenuDefaultMode});
  e.text.autoclick_ms = ms;
  if (ms == 0) e.shell.autoclick_active = false;
}

void cmd_automode_time(Engine& e) { e.text.automode_ms = read_number(e); }

// After a plain click wait: a reset chosen during it restarts the game, a
// load has already put the game where it continues.
void after_plain_wait(Engine& e) {
  if (e.script.reset_requested) game_reset(e);
  if (e.script.load_done) e.script.load_done = false;
}

void cmd_click(Engine& e) {
  click_wait(e);
  after_plain_wait(e);
}

size_t read_click_target(Engine& e, const char* wrong_kind) {
  skip_blanks(e);
  if (current_byte(e) != '%') script_error(e, "構文エラー", error_message(wrong_kind));
  ++e.script.script_pos;
  return checked_variable(e, read_number(e));
}

void cmd_clickpos(Engine& e) {
  const size_t x = read_click_target(e, "clickposの第一引数は数字変数です。");
  expect_comma(e);
  const size_t y = read_click_target(e, "clickposの第ニ引数は数字変数です。");
  click_wait(e);
  e.vars.num_vars[x] = e.shell.click_x;
  e.vars.num_vars[y] = e.shell.click_y;
  apply_int_limits(e.vars);
  after_plain_wait(e);
}

}  // namespace

void bind_text_commands(CommandBinder& binder) {
  binder.bind("setwindow", cmd_setwindow);
  binder.bind("textspeed", cmd_textspeed);
  binder.bind("defaultspeed", cmd_defaultspeed);
  binder.bind("clickstr", cmd_clickstr);
  binder.bind("br", cmd_br);
  binder.bind("locate", cmd_locate);
  binder.bind("puttext", cmd_puttext);
  binder.bind("texton", cmd_texton);
  binder.bind("textoff", cmd_textoff);
  binder.bind("textclear", cmd_textclear);
  binder.bind("textmode", cmd_textmode);
  binder.bind("erasetextwindow", cmd_erasetextwindow);
  binder.bind("defaultfont", cmd_defaultfont);
  binder.bind("linkcolor", cmd_linkcolor);
  binder.bind("autoclick", cmd_autoclick);
  binder.bind("automode_time", cmd_automode_time);
  binder.bind("click", cmd_click);
  binder.bind("clickpos", cmd_clickpos);
}

}  // namespace vellumite
