#include "script/command_table.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>

namespace vellumite {
namespace {

using enum CommandClass;

// The 134 commands in their classes.
// clang-format off
constexpr std::array<CommandEntry, 134> kEntries = {{
    // Both phases.
    {"bw2a", Shared, nullptr}, {"definereset", Shared, nullptr}, {"mousecursor", Shared, nullptr},
    {"caption", Shared, nullptr}, {"end", Shared, nullptr}, {"mov", Shared, nullptr},
    {"mov5", Shared, nullptr}, {"rnd", Shared, nullptr}, {"rnd2", Shared, nullptr},
    {"getreg", Shared, nullptr}, {"getini", Shared, nullptr}, {"add", Shared, nullptr},
    {"sub", Shared, nullptr}, {"inc", Shared, nullptr}, {"dec", Shared, nullptr},
    {"mul", Shared, nullptr}, {"div", Shared, nullptr}, {"mod", Shared, nullptr},
    {"goto", Shared, nullptr}, {"skip", Shared, nullptr}, {"gosub", Shared, nullptr},
    {"return", Shared, nullptr}, {"len", Shared, nullptr}, {"cmp", Shared, nullptr},
    {"notif", Shared, nullptr}, {"if", Shared, nullptr}, {"mesbox", Shared, nullptr},
    {"windoweffect", Shared, nullptr},
    // The *define block only.
    {"savenumber", DefineOnly, nullptr}, {"mode_ext", DefineOnly, nullptr},
    {"mode_saya", DefineOnly, nullptr}, {"automode_time", DefineOnly, nullptr},
    {"defaultspeed", DefineOnly, nullptr}, {"intlimit", DefineOnly, nullptr},
    {"lookbackbutton", DefineOnly, nullptr}, {"lookbackcolor", DefineOnly, nullptr},
    {"savename", DefineOnly, nullptr}, {"clickstr", DefineOnly, nullptr},
    {"filelog", DefineOnly, nullptr}, {"soundpressplgin", DefineOnly, nullptr},
    {"versionstr", DefineOnly, nullptr}, {"effectblank", DefineOnly, nullptr},
    {"bgalia", DefineOnly, nullptr}, {"cdfadeout", DefineOnly, nullptr},
    {"spi", DefineOnly, nullptr}, {"arc", DefineOnly, nullptr}, {"effect", DefineOnly, nullptr},
    {"transmode", DefineOnly, nullptr}, {"stralias", DefineOnly, nullptr},
    {"killmenu", DefineOnly, nullptr}, {"numalias", DefineOnly, nullptr},
    {"defaultfont", DefineOnly, nullptr}, {"selectcolor", DefineOnly, nullptr},
    {"menuselectcolor", DefineOnly, nullptr}, {"lookbackvoice", DefineOnly, nullptr},
    {"clickvoice", DefineOnly, nullptr}, {"selectvoice", DefineOnly, nullptr},
    {"menuselectvoice", DefineOnly, nullptr}, {"globalon", DefineOnly, nullptr},
    {"humanz", DefineOnly, nullptr}, {"underline", DefineOnly, nullptr},
    {"game", DefineOnly, nullptr}, {"rlookback", DefineOnly, nullptr},
    {"roff", DefineOnly, nullptr}, {"rmenu", DefineOnly, nullptr},
    {"menusetwindow", DefineOnly, nullptr}, {"linkcolor", DefineOnly, nullptr},
    // The game only.
    {"inputstr", GameOnly, nullptr}, {"inputnum", GameOnly, nullptr},
    {"locate", GameOnly, nullptr}, {"puttext", GameOnly, nullptr},
    {"autoclick", GameOnly, nullptr}, {"br", GameOnly, nullptr}, {"trap", GameOnly, nullptr},
    {"setcursor", GameOnly, nullptr}, {"abssetcursor", GameOnly, nullptr},
    {"quakex", GameOnly, nullptr}, {"quakey", GameOnly, nullptr}, {"rmode", GameOnly, nullptr},
    {"systemcall", GameOnly, nullptr}, {"select", GameOnly, nullptr},
    {"reset", GameOnly, nullptr}, {"selgosub", GameOnly, nullptr},
    {"selnum", GameOnly, nullptr}, {"textoff", GameOnly, nullptr},
    {"texton", GameOnly, nullptr}, {"textclear", GameOnly, nullptr},
    {"textmode", GameOnly, nullptr}, {"menu_full", GameOnly, nullptr},
    {"menu_click_page", GameOnly, nullptr}, {"menu_click_def", GameOnly, nullptr},
    {"menu_window", GameOnly, nullptr}, {"erasetextwindow", GameOnly, nullptr},
    {"monocro", GameOnly, nullptr}, {"nega", GameOnly, nullptr}, {"bg", GameOnly, nullptr},
    {"ld", GameOnly, nullptr}, {"btndef", GameOnly, nullptr}, {"btn", GameOnly, nullptr},
    {"btnwait", GameOnly, nullptr}, {"btnwait2", GameOnly, nullptr},
    {"tbtnwait", GameOnly, nullptr}, {"tal", GameOnly, nullptr}, {"delay", GameOnly, nullptr},
    {"wait", GameOnly, nullptr}, {"textspeed", GameOnly, nullptr},
    {"resettimer", GameOnly, nullptr}, {"waittimer", GameOnly, nullptr},
    {"gettimer", GameOnly, nullptr}, {"barclear", GameOnly, nullptr},
    {"prnumclear", GameOnly, nullptr}, {"bar", GameOnly, nullptr}, {"prnum", GameOnly, nullptr},
    {"lsph", GameOnly, nullptr}, {"lsp", GameOnly, nullptr}, {"csp", GameOnly, nullptr},
    {"vsp", GameOnly, nullptr}, {"msp", GameOnly, nullptr}, {"cl", GameOnly, nullptr},
    {"print", GameOnly, nullptr}, {"mp3", GameOnly, nullptr}, {"mp3loop", GameOnly, nullptr},
    {"avi", GameOnly, nullptr}, {"play", GameOnly, nullptr}, {"playonce", GameOnly, nullptr},
    {"stop", GameOnly, nullptr}, {"wave", GameOnly, nullptr}, {"wavestop", GameOnly, nullptr},
    {"playstop", GameOnly, nullptr}, {"lookbackflush", GameOnly, nullptr},
    {"click", GameOnly, nullptr}, {"clickpos", GameOnly, nullptr},
    {"waveloop", GameOnly, nullptr}, {"setwindow", GameOnly, nullptr},
}};
// clang-format on

struct Tables : CommandBinder {
  std::array<CommandEntry, 134> entries = kEntries;
  std::unordered_map<std::string_view, const CommandEntry*> define_phase;
  std::unordered_map<std::string_view, const CommandEntry*> game_phase;

  void bind(std::string_view name, CommandHandler handler) override {
    for (CommandEntry& entry : entries) {
      if (entry.name == name) {
        entry.handler = handler;
        return;
      }
    }
    // A handler for a word that is not in the table is a programming error.
    std::fprintf(stderr, "internal error: no command named %.*s\n", static_cast<int>(name.size()),
                 name.data());
    std::abort();
  }

  Tables() {
    bind_core_commands(*this);
    bind_variable_commands(*this);
    bind_control_flow_commands(*this);
    bind_text_commands(*this);
    bind_scene_commands(*this);
    bind_layer_commands(*this);
    bind_effect_commands(*this);
    bind_selection_commands(*this);
    bind_button_commands(*this);
    bind_input_commands(*this);
    bind_menu_commands(*this);
    bind_sound_commands(*this);
    for (const CommandEntry& entry : entries) {
      if (entry.handler == nullptr) continue;
      if (entry.command_class != GameOnly) define_phase.emplace(entry.name, &entry);
      if (entry.command_class != DefineOnly) game_phase.emplace(entry.name, &entry);
    }
  }
};

const Tables& tables() {
  static const Tables built;  // read-only after it is built
  return built;
}

}  // namespace

const CommandEntry* find_command(std::string_view word, bool define_mode) {
  const auto& map = define_mode ? tables().define_phase : tables().game_phase;
  auto it = map.find(word);
  return it == map.end() ? nullptr : it->second;
}

const CommandEntry* all_commands(size_t& count) {
  count = tables().entries.size();
  return tables().entries.data();
}

}  // namespace vellumite
