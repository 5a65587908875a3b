// The choice commands: select, selgosub and selnum, and the define-block
// settings selectcolor and selectvoice.
#include <string>

#include "game/engine.h"
#include "game/script/interpreter.h"
#include "game/script/labels.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "game/text/selection.h"
#include "game/text/text_window.h"
#include "script/command_table.h"
#include "script/variables.h"
#include "text/history.h"

namespace vellumite {
namespace {

// Reads the items of a choice, which may run over several lines. An item
// whose text is empty is left out (its label, if any, is read and dropped),
// so the remaining items close up and are numbered without it.
void read_items(Engine& e, bool with_labels) {
  SelectionState& sel = selection_state(e);
  sel.texts.clear();
  sel.labels.clear();
  std::string text;
  std::string label;
  for (bool first = true;; first = false) {
    if (!first) expect_comma(e);
    skip_blanks_and_newlines(e);
    read_string(e, text);
    if (with_labels) {
      expect_comma(e);
      read_label(e, label);
    }
    if (!text.empty()) {
      sel.texts.push_back(text);
      if (with_labels) sel.labels.push_back(label);
    }
    skip_blanks_and_newlines(e);
    if (current_byte(e) != ',') break;
  }
}

// Lets the player choose among the items read, in the text window at its
// current cell.
int choose(Engine& e) {
  const TextWindow& w = e.text.window;
  return choose_item(e, selection_state(e).texts, w.column, w.row);
}

// The page of the choice ends.
void end_choice_page(Engine& e) {
  new_page(e);
  history_page_end(e.text.history);
}

// A reset or load chosen from a right-click menu during the choice ends the
// command; true when it did.
bool stopped_by_menu(Engine& e) {
  if (e.script.reset_requested) {
    game_reset(e);
    return true;
  }
  if (e.script.load_done) {
    e.script.load_done = false;
    return true;
  }
  return false;
}

// The label of the chosen item; false when there is none.
bool chosen_label(Engine& e, int index, std::string& label) {
  const SelectionState& sel = selection_state(e);
  if (index < 0 || static_cast<size_t>(index) >= sel.labels.size()) return false;
  label = sel.labels[static_cast<size_t>(index)];
  return true;
}

void cmd_select(Engine& e) {
  read_items(e, true);
  const int index = choose(e);
  if (stopped_by_menu(e)) return;
  end_choice_page(e);
  std::string label;
  if (chosen_label(e, index, label)) jump_to_label(e, label);
}

void cmd_selgosub(Engine& e) {
  read_items(e, true);
  const int index = choose(e);
  if (stopped_by_menu(e)) return;
  end_choice_page(e);
  std::string label;
  if (!chosen_label(e, index, label)) return;
  ScriptState& s = e.script;
  if (s.gosub_depth >= kGosubDepth) {
    script_error(e, "スタックエラー", error_message("gosub文のせいでスタックが溢れました。"));
  }
  s.gosub_stack[static_cast<size_t>(s.gosub_depth)] = s.script_pos;
  ++s.gosub_depth;
  jump_to_label(e, label);
}

// The page ends before the reset and load checks here.
void cmd_selnum(Engine& e) {
  skip_blanks(e);
  if (current_byte(e) != '%') {
    script_error(e, "構文エラー", error_message("selnumの第一引数は数値変数です。"));
  }
  ++e.script.script_pos;
  const size_t variable = checked_variable(e, read_number(e));
  expect_comma(e);
  read_items(e, false);
  const int index = choose(e);
  end_choice_page(e);
  if (stopped_by_menu(e)) return;
  e.vars.num_vars[variable] = index;
  apply_int_limits(e.vars);
}

void cmd_selectcolor(Engine& e) {
  static constexpr std::string_view kMessage = "selectcolorのパラメータが違います。";
  const Colour highlight = read_hash_colour(e, kMessage);
  expect_comma(e);
  const Colour normal = read_hash_colour(e, kMessage);
  SelectionState& sel = selection_state(e);
  sel.highlight_colour = highlight;
  sel.normal_colour = normal;
}

void cmd_selectvoice(Engine& e) {
  SelectionState& sel = selection_state(e);
  read_string(e, sel.sounds[0]);
  expect_comma(e);
  read_string(e, sel.sounds[1]);
  expect_comma(e);
  read_string(e, sel.sounds[2]);
}

}  // namespace

void bind_selection_commands(CommandBinder& binder) {
  binder.bind("select", cmd_select);
  binder.bind("selgosub", cmd_selgosub);
  binder.bind("selnum", cmd_selnum);
  binder.bind("selectcolor", cmd_selectcolor);
  binder.bind("selectvoice", cmd_selectvoice);
}

}  // namespace vellumite
