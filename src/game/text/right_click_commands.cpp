// The commands of the right-click menu and the text history: rmenu,
// rlookback, roff, rmode, systemcall, menusetwindow, menuselectcolor,
// menuselectvoice, lookbackbutton, lookbackcolor, lookbackvoice and
// lookbackflush.
#include <string>
#include <string_view>
#include <utility>

#include "game/engine.h"
#include "game/graphics/picture.h"
#include "game/script/interpreter.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "game/text/system_call.h"
#include "game/text/text_window.h"
#include "script/command_table.h"
#include "text/history.h"

namespace vellumite {
namespace {

// The action words of rmenu and systemcall.
constexpr std::pair<std::string_view, int> kActionWords[] = {
    {"lookback", kActionHistory}, {"windowerase", kActionHide}, {"load", kActionLoad},
    {"save", kActionSave},        {"reset", kActionReset},      {"skip", kActionSkip},
};

// The action of `word`, or -2 when it names none.
int action_of(std::string_view word) {
  for (const auto& [name, action] : kActionWords) {
    if (word == name) return action;
  }
  return -2;
}

void cmd_rmenu(Engine& e) {
  MenuSettings& m = e.text.menu;
  m.right_click = kRightClickMenu;
  m.items.clear();
  std::string word;
  for (;;) {
    RightClickItem item;
    read_string(e, item.title);
    expect_comma(e);
    skip_blanks(e);
    read_token(e, word);
    item.action = action_of(word);
    if (item.action < 0) {
      script_error(e, "エラー", error_message("rmenu命令へのパラメータが間違っています。"));
    }
    // The menu holds at most 50 items.
    if (m.items.size() >= static_cast<size_t>(kMaxMenuItems)) {
      script_error(e, "エラー", error_message("rmenu命令の項目は50個までです。"));
    }
    m.items.push_back(std::move(item));
    skip_blanks(e);
    if (current_byte(e) != ',') break;
    expect_comma(e);
  }
}

void cmd_rlookback(Engine& e) { e.text.menu.right_click = kRightClickHistory; }
void cmd_roff(Engine& e) { e.text.menu.right_click = kRightClickOff; }
void cmd_rmode(Engine& e) { e.text.menu.right_click_enabled = read_number(e); }

void cmd_systemcall(Engine& e) {
  std::string word;
  skip_blanks(e);
  read_token(e, word);
  const int action = word == "rmenu" ? -1 : action_of(word);
  if (action == -2) {
    script_error(e, "エラー", error_message("systemcall命令へのパラメータが間違っています。"));
  }
  // `rmenu` does what a right click does.
  system_call(e, action);
  if (e.script.reset_requested) game_reset(e);
  if (e.script.load_done) e.script.load_done = false;
}

void cmd_menusetwindow(Engine& e) {
  MenuSettings& m = e.text.menu;
  const int32_t font_width = read_number(e);
  expect_comma(e);
  const int32_t font_height = read_number(e);
  expect_comma(e);
  const int32_t spacing_x = read_number(e);
  expect_comma(e);
  const int32_t spacing_y = read_number(e);
  expect_comma(e);
  const int32_t bold = read_number(e);
  expect_comma(e);
  const int32_t shadow = read_number(e);
  m.font_width = font_width;
  m.font_height = font_height;
  m.pitch_x =
      static_cast<int32_t>(static_cast<uint32_t>(spacing_x) + static_cast<uint32_t>(font_width));
  m.pitch_y =
      static_cast<int32_t>(static_cast<uint32_t>(spacing_y) + static_cast<uint32_t>(font_height));
  m.bold = bold;
  m.shadow = shadow;
  expect_comma(e);
  skip_blanks(e);
  // Without a colour the tint stays as it was and the rest of the line is
  // passed over.
  if (current_byte(e) != '#') {
    skip_to_line_end(e);
    return;
  }
  m.tint = read_color(e, e.script.script_buffer.get() + e.script.script_pos + 1);
  e.script.script_pos += 7;
}

void cmd_menuselectcolor(Engine& e) {
  static constexpr std::string_view kMessage = "menuselectcolorのパラメータが違います。";
  MenuSettings& m = e.text.menu;
  const Colour highlight = read_hash_colour(e, kMessage);
  expect_comma(e);
  const Colour normal = read_hash_colour(e, kMessage);
  expect_comma(e);
  const Colour unavailable = read_hash_colour(e, kMessage);
  m.highlight_colour = highlight;
  m.normal_colour = normal;
  m.unavailable_colour = unavailable;
}

void cmd_menuselectvoice(Engine& e) {
  MenuSettings& m = e.text.menu;
  for (size_t i = 0; i < m.sounds.size(); ++i) {
    if (i > 0) expect_comma(e);
    read_string(e, m.sounds[i]);
  }
}

void cmd_lookbackbutton(Engine& e) {
  std::string tag;
  for (size_t i = 0; i < e.graphics.lookback_buttons.size(); ++i) {
    if (i > 0) expect_comma(e);
    read_string(e, tag);
    load_picture_from_tag(e, e.graphics.lookback_buttons[i], tag);
  }
}

void cmd_lookbackcolor(Engine& e) {
  e.text.menu.lookback_colour =
      read_hash_colour(e, "lookbackcolorのパラメータは#rrggbbの色指定です。");
}

void cmd_lookbackvoice(Engine& e) { read_string(e, e.text.menu.lookback_voice); }
void cmd_lookbackflush(Engine& e) { history_clear(e.text.history); }

}  // namespace

void bind_right_click_commands(CommandBinder& binder) {
  binder.bind("rmenu", cmd_rmenu);
  binder.bind("rlookback", cmd_rlookback);
  binder.bind("roff", cmd_roff);
  binder.bind("rmode", cmd_rmode);
  binder.bind("systemcall", cmd_systemcall);
  binder.bind("menusetwindow", cmd_menusetwindow);
  binder.bind("menuselectcolor", cmd_menuselectcolor);
  binder.bind("menuselectvoice", cmd_menuselectvoice);
  binder.bind("lookbackbutton", cmd_lookbackbutton);
  binder.bind("lookbackcolor", cmd_lookbackcolor);
  binder.bind("lookbackvoice", cmd_lookbackvoice);
  binder.bind("lookbackflush", cmd_lookbackflush);
}

}  // namespace vellumite
