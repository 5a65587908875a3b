// Scenario files written in UTF-8: recognising them (a byte-order mark, or
// `encoding utf-8` in config.txt) and turning them into the Shift-JIS the
// engine runs, or saying which character stops that.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vellumite {

// Whether config.txt's text holds the line `encoding utf-8` (any case,
// blanks around the words, a CR before the line feed allowed).
bool config_says_utf8(std::string_view config_text);

// Whether `bytes` start with the UTF-8 byte-order mark (EF BB BF).
bool starts_with_utf8_bom(std::string_view bytes);

// Whether `bytes` are well-formed UTF-8 (no overlong forms, surrogates or
// values beyond U+10FFFF).
bool valid_utf8(std::string_view bytes);

struct ScenarioDecoding {
  bool ok = true;
  std::string sjis;         // the text as Shift-JIS, the byte-order mark dropped
  int line = 0;             // failed: the line (from 1) of the first bad character
  uint32_t code_point = 0;  // failed: that character; 0 when the bytes are not UTF-8
  std::string character;    // failed: its UTF-8 bytes
};

// Converts a UTF-8 scenario file to Shift-JIS (CP932).
ScenarioDecoding decode_utf8_scenario(std::string_view bytes);

// "FILE line N: U+2603 (☃) has no Shift-JIS form", or "FILE line N: not
// UTF-8", in UTF-8.
std::string describe_decoding_failure(std::string_view file_name, const ScenarioDecoding& failed);

}  // namespace vellumite
