// The commands that steer the interpreter itself: game, definereset, reset,
// end and caption, and the two that configure the version box and the auto
// mode menu item.
#include "base/sjis.h"
#include "game/script/interpreter.h"
#include "game/script/readers.h"
#include "game/shell/auto_play.h"
#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

void cmd_game(Engine& e) {
  e.script.define_done = true;
  e.shell.font_face = e.shell.default_font_face;
  e.text.drawing_font_face = e.shell.default_font_face;
  if (!e.shell.mode_ext) e.shell.menu.remove_top_level(kMenuAutoMode);
}

void cmd_definereset(Engine& e) {
  count_restart(e);
  e.script.restart_requested = true;
}

void cmd_reset(Engine& e) {
  count_restart(e);
  game_reset(e);
}

void cmd_end(Engine& e) {
  if (!auto_restarts_at_end(e)) end_program(e, ExitReason::End);
}

void cmd_caption(Engine& e) {
  std::string title;
  read_string(e, title);
  std::string utf8 = to_utf8(title);
  e.platform.set_title(utf8);
}

void cmd_versionstr(Engine& e) {
  std::string version, credit;
  read_string(e, version);
  expect_comma(e);
  read_string(e, credit);
  e.shell.version_text = std::move(version);
  e.shell.credit_text = std::move(credit);
}

void cmd_mode_ext(Engine& e) { e.shell.mode_ext = true; }

}  // namespace

void bind_core_commands(CommandBinder& binder) {
  binder.bind("game", cmd_game);
  binder.bind("definereset", cmd_definereset);
  binder.bind("reset", cmd_reset);
  binder.bind("end", cmd_end);
  binder.bind("caption", cmd_caption);
  binder.bind("versionstr", cmd_versionstr);
  binder.bind("mode_ext", cmd_mode_ext);
}

}  // namespace vellumite
