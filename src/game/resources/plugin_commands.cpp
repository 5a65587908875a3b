// The commands `spi` and `arc`: registrations of picture and archive
// plug-ins.
#include <string>

#include "game/engine.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "resources/plugin_state.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

// The longest registration a scenario may give, in bytes.
constexpr size_t kMaxRegistrationBytes = 255;

// `spi` and `arc`: one registration "<a>|<b>", stored lower-cased.
void register_plugin(Engine& e, std::vector<std::string>& list) {
  if (list.size() >= kPluginEntryLimit) {
    script_error(e, "エラー", error_message("SPI設定が多すぎます。"));
  }
  std::string entry;
  read_string(e, entry);
  if (entry.find('|') == std::string::npos) {
    script_error(e, "エラー", error_message("プラグインの指定に「|」がありません。:%s", entry));
  }
  if (entry.size() > kMaxRegistrationBytes) {
    script_error(e, "エラー", error_message("プラグインの指定が長すぎます。:%s", entry));
  }
  // Only ASCII letters change: Shift-JIS second bytes in the letter range
  // would otherwise turn into other characters.
  bool second_byte = false;
  for (char& c : entry) {
    const auto b = static_cast<unsigned char>(c);
    if (second_byte) {
      second_byte = false;
    } else if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
      second_byte = true;
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c + 32);
    }
  }
  list.push_back(std::move(entry));
}

void cmd_spi(Engine& e) { register_plugin(e, e.plugins.picture_plugins); }
void cmd_arc(Engine& e) { register_plugin(e, e.plugins.archive_plugins); }

}  // namespace

void bind_plugin_commands(CommandBinder& binder) {
  binder.bind("spi", cmd_spi);
  binder.bind("arc", cmd_arc);
}

}  // namespace vellumite
