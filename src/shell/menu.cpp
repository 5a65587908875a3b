#include "shell/menu.h"

#include "base/sjis.h"
#include "shell/shell_state.h"
#include "text/font_match.h"

namespace vellumite {
namespace {

MenuItem item(const char* utf8_label, int id, bool checked = false) {
  return MenuItem{to_sjis(utf8_label), id, checked, {}};
}

MenuItem drop_down(const char* utf8_label, std::vector<MenuItem> entries) {
  return MenuItem{to_sjis(utf8_label), 0, false, std::move(entries)};
}

MenuItem* find_in(std::vector<MenuItem>& items, int id) {
  for (MenuItem& it : items) {
    if (it.id == id) return &it;
    if (MenuItem* inner = find_in(it.entries, id)) return inner;
  }
  return nullptr;
}

}  // namespace

void Menu::build() {
  bar = {
      drop_down("画面",
                {item("フルスクリーン", kMenuFullScreen), item("ウィンドウ", kMenuWindow, true)}),
      drop_down("フォント", {item("デフォルト", kMenuFontDefault)}),
      drop_down("表示形式",
                {item("デフォルト", kMenuDefaultMode, true), item("一ページごと", kMenuPageMode)}),
      drop_down("文字速度", {item("低速", kMenuSpeedSlow), item("普通", kMenuSpeedNormal, true),
                             item("高速", kMenuSpeedFast)}),
      drop_down("ＷＡＶＥ", {item("オン", kMenuWaveOn, true), item("オフ", kMenuWaveOff)}),
      item("選択肢まで進む", kMenuSkipToChoice),
      item("オートモード", kMenuAutoMode),
      item("バージョン情報", kMenuVersion),
      drop_down("ＣＤーDA", {item("演奏ドライブ選択", kMenuCdDrive),
                             drop_down("ＣＤ－ＤＡ再生", {item("オン", kMenuCddaOn, true),
                                                          item("オフ", kMenuCddaOff)})}),
      item("終了", kMenuExit),
  };
}

MenuItem* Menu::find(int id) { return find_in(bar, id); }

void Menu::set_checked(int id, bool checked) {
  if (MenuItem* it = find(id)) it->checked = checked;
}

bool Menu::is_checked(int id) {
  MenuItem* it = find(id);
  return it != nullptr && it->checked;
}

void Menu::check_only(int id, std::initializer_list<int> group) {
  for (int other : group) set_checked(other, false);
  set_checked(id, true);
}

void Menu::remove_top_level(int id) {
  for (size_t i = 0; i < bar.size() && i < 10; ++i) {
    if (bar[i].id == id) {
      bar.erase(bar.begin() + static_cast<long>(i));
      return;
    }
  }
}

void Menu::remove_at(int position) {
  if (position < 0 || static_cast<size_t>(position) >= bar.size()) return;
  bar.erase(bar.begin() + position);
}

void install_font_menu(ShellState& shell, const std::vector<FontFamilyName>& fonts) {
  MenuItem* font_menu = nullptr;
  for (MenuItem& top : shell.menu.bar) {
    for (const MenuItem& entry : top.entries) {
      if (entry.id == kMenuFontDefault) font_menu = &top;
    }
  }
  for (std::string& face : shell.font_table) face.clear();
  if (font_menu == nullptr) return;
  std::vector<MenuItem>& entries = font_menu->entries;
  std::erase_if(entries, [](const MenuItem& it) { return it.id >= 0 && it.id < kFontTableSize; });
  auto at = entries.begin();
  for (size_t index = 0; index < fonts.size() && index < kFontTableSize; ++index) {
    int id = static_cast<int>(index);
    shell.font_table[index] = fonts[index].sjis;
    at = entries.insert(at, MenuItem{fonts[index].sjis, id, id == shell.font_menu_id, {}}) + 1;
  }
}

}  // namespace vellumite
