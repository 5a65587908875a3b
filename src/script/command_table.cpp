#include "script/command_table.h"

#include <array>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace vellumite {
namespace {

using enum CommandClass;

// The commands in their classes.
// clang-format off
constexpr auto kEntries = std::to_array<CommandEntry>({
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
});
// clang-format on

// The longest command word.
constexpr size_t kMaxWordBytes = 16;
constexpr bool words_fit() {
  for (const CommandEntry& entry : kEntries) {
    if (entry.name.size() > kMaxWordBytes) return false;
  }
  return true;
}
static_assert(words_fit());
static_assert(kEntries.size() < 255);

// A word of at most 16 bytes packed into two integers, padded with zeros.
// A word with a zero byte in it is no command and gets no key, so equal
// keys are equal words.
struct WordKey {
  uint64_t low = 0;
  uint64_t high = 0;
  bool operator==(const WordKey&) const = default;
};

// The key of `word`; false when it cannot be a command.
inline bool pack_word(std::string_view word, WordKey& key) {
  if (word.size() > kMaxWordBytes) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    const uint64_t byte = static_cast<unsigned char>(word[i]);
    if (byte == 0) return false;
    if (i < 8) {
      key.low |= byte << (8 * i);
    } else {
      key.high |= byte << (8 * (i - 8));
    }
  }
  return true;
}

// A perfect hash of one phase's command words: every word has a slot of
// its own, found by two multiplications and one comparison of keys. The
// multipliers are searched for when the table is built.
class PhaseTable {
 public:
  static constexpr int kSlotBits = 11;

  template <typename Entries, typename Pred>
  void build(const Entries& entries, Pred belongs) {
    for (size_t i = 0; i < entries.size(); ++i) pack_word(entries[i].name, keys_[i]);
    for (uint64_t seed = 1;; ++seed) {
      slots_.fill(0);
      // Odd multipliers drawn from the seed (a splitmix step).
      low_factor_ = mix(seed) | 1;
      high_factor_ = mix(seed + 0x9E3779B97F4A7C15u) | 1;
      bool clash = false;
      for (size_t i = 0; i < entries.size() && !clash; ++i) {
        if (!belongs(entries[i])) continue;
        uint8_t& slot = slots_[slot_of(keys_[i])];
        if (slot != 0) clash = true;
        slot = static_cast<uint8_t>(i + 1);
      }
      if (!clash) return;
    }
  }

  // The index of `word` in the entries, or -1.
  int find(std::string_view word) const {
    WordKey key;
    if (!pack_word(word, key)) return -1;
    const int i = int{slots_[slot_of(key)]} - 1;
    if (i < 0 || !(keys_[static_cast<size_t>(i)] == key)) return -1;
    return i;
  }

 private:
  static uint64_t mix(uint64_t x) {
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    return x ^ (x >> 31);
  }
  size_t slot_of(const WordKey& key) const {
    return static_cast<size_t>((key.low * low_factor_ + key.high * high_factor_) >>
                               (64 - kSlotBits));
  }

  std::array<uint8_t, size_t{1} << kSlotBits> slots_{};
  std::array<WordKey, kEntries.size()> keys_{};
  uint64_t low_factor_ = 1;
  uint64_t high_factor_ = 1;
};

struct Tables : CommandBinder {
  std::remove_const_t<decltype(kEntries)> entries = kEntries;
  PhaseTable define_phase;
  PhaseTable game_phase;

  void bind(std::string_view name, CommandHandler handler) override {
    bind_command(entries, name, handler);
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
    bind_right_click_commands(*this);
    bind_sound_commands(*this);
    bind_plugin_commands(*this);
    bind_screen_extra_commands(*this);
    bind_save_commands(*this);
    define_phase.build(entries, [](const CommandEntry& entry) {
      return entry.handler != nullptr && entry.command_class != GameOnly;
    });
    game_phase.build(entries, [](const CommandEntry& entry) {
      return entry.handler != nullptr && entry.command_class != DefineOnly;
    });
  }

  const CommandEntry* find(const PhaseTable& phase, std::string_view word) const {
    const int i = phase.find(word);
    return i < 0 ? nullptr : &entries[static_cast<size_t>(i)];
  }
};

const Tables& tables() {
  static const Tables built;  // read-only after it is built
  return built;
}

}  // namespace

void bind_command(std::span<CommandEntry> entries, std::string_view name, CommandHandler handler) {
  const char* problem = "no command named";
  for (CommandEntry& entry : entries) {
    if (entry.name != name) continue;
    if (entry.handler == nullptr) {
      entry.handler = handler;
      return;
    }
    problem = "a second handler for";
    break;
  }
  // A table that binds wrongly is the program's own mistake: stop at once.
  throw std::logic_error("internal error: " + std::string(problem) + " " + std::string(name));
}

const CommandEntry* find_command(std::string_view word, bool define_mode) {
  const Tables& t = tables();
  return t.find(define_mode ? t.define_phase : t.game_phase, word);
}

const CommandEntry* all_commands(size_t& count) {
  count = tables().entries.size();
  return tables().entries.data();
}

}  // namespace vellumite
