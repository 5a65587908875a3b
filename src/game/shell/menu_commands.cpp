// The scenario commands that work the main window's menu bar: `killmenu`
// deletes a top-level item by its position; `menu_full`, `menu_window`,
// `menu_click_page` and `menu_click_def` press one of its items.
#include "game/script/readers.h"
#include "game/shell/window_proc.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

// Positions count the items present now, so an earlier deletion shifts the
// items behind it one place to the left.
void cmd_killmenu(Engine& e) { e.shell.menu.remove_at(read_number(e)); }

// Lets the window take in what waits (50 messages at most, 1 ms apart),
// presses the item, and lets it work the same way.
void press_menu_item(Engine& e, int id) {
  constexpr int kPumps = 50;
  for (int i = 0; i < kPumps; ++i) {
    pump_message(e);
    e.platform.sleep(1);
  }
  e.platform.post_message(Message{MessageKind::Command, 0, 0, static_cast<uint32_t>(id)});
  for (int i = 0; i < kPumps; ++i) {
    pump_message(e);
    e.platform.sleep(1);
  }
}

void cmd_menu_full(Engine& e) { press_menu_item(e, kMenuFullScreen); }
void cmd_menu_window(Engine& e) { press_menu_item(e, kMenuWindow); }
void cmd_menu_click_page(Engine& e) { press_menu_item(e, kMenuPageMode); }
void cmd_menu_click_def(Engine& e) { press_menu_item(e, kMenuDefaultMode); }

}  // namespace

void bind_menu_commands(CommandBinder& binder) {
  binder.bind("killmenu", cmd_killmenu);
  binder.bind("menu_full", cmd_menu_full);
  binder.bind("menu_window", cmd_menu_window);
  binder.bind("menu_click_page", cmd_menu_click_page);
  binder.bind("menu_click_def", cmd_menu_click_def);
}

}  // namespace vellumite
