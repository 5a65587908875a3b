// The scenario commands that change the main window's menu bar: `killmenu`
// deletes a top-level item by its position.
#include "game/script/readers.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

// Positions count the items present now, so an earlier deletion shifts the
// items behind it one place to the left.
void cmd_killmenu(Engine& e) { e.shell.menu.remove_at(read_number(e)); }

}  // namespace

void bind_menu_commands(CommandBinder& binder) { binder.bind("killmenu", cmd_killmenu); }

}  // namespace vellumite
