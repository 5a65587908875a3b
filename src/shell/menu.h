// The menu bar as a model: top-level items, their drop-down entries, command
// ids and check marks. The window procedure and the scenario commands change
// it; drawing it is the window's business.
#pragma once

#include <string>
#include <vector>

namespace vellumite {

struct ShellState;
struct FontFamilyName;

struct MenuItem {
  std::string label;  // Shift-JIS
  int id = 0;         // command id; 0 for a drop-down that only holds entries
  bool checked = false;
  std::vector<MenuItem> entries;  // drop-down contents
};

struct Menu {
  std::vector<MenuItem> bar;

  // Builds the program's menu bar with its initial check marks.
  void build();
  MenuItem* find(int id);
  void set_checked(int id, bool checked);
  bool is_checked(int id);
  // Checks `id` and unchecks the others of its group.
  void check_only(int id, std::initializer_list<int> group);
  // Removes the first top-level item among positions 0..9 whose id is `id`.
  void remove_top_level(int id);
  // Removes the top-level item at `position`; a position past the end (or
  // negative) removes nothing.
  void remove_at(int position);
};

// Puts the installed fonts into the font menu in front of "デフォルト", each
// with its enumeration index as command id (only the first 256), and fills
// the font table. Font items already there are replaced, so a restart does
// not list them twice; the item of `font_menu_id` keeps its check mark.
void install_font_menu(ShellState& shell, const std::vector<FontFamilyName>& fonts);

}  // namespace vellumite
