// The player's own switches kept in the settings file (settings.ini):
//
//   [player]
//   skip_read_only=1     skipping stops at text not read before (0: off)
//   text_size=130        the text window's glyphs at 130 % (100..400), up
//                        to the size of their cells
//
// and the rewriting of one key of that file, which keeps every other line.
#pragma once

#include <string>
#include <string_view>

namespace vellumite {

constexpr int kTextSizeMin = 100;
constexpr int kTextSizeMax = 400;

struct PlayerOptions {
  bool skip_read_only = false;
  int text_size_percent = 100;
};

// Takes the [player] keys of `text` over `options`; lines it does not know
// and values it cannot read are passed over.
void parse_player_settings(std::string_view text, PlayerOptions& options);

// `text` without the section [`section`] (its header and the lines up to the
// next header).
std::string without_section(std::string_view text, std::string_view section);

// `text` with `key`=`value` in [`section`]: the key's line replaced, or added
// at the end of the section (the section added at the end when missing).
std::string set_setting(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace vellumite
