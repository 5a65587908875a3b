#include "script/scenario_encoding.h"

#include <algorithm>
#include <cstdio>

#include "base/sjis.h"

namespace vellumite {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

bool same_ignoring_case(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

// The length of the well-formed UTF-8 character at the start of `s` and its
// value; 0 when it is not one.
size_t read_character(std::string_view s, uint32_t& value) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = byte(0);
  size_t n = 0;
  uint32_t min = 0;
  if (c < 0x80) {
    value = c;
    return 1;
  } else if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    value = c & 0x1Fu;
    min = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    value = c & 0x0Fu;
    min = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    value = c & 0x07u;
    min = 0x10000;
  } else {
    return 0;
  }
  if (s.size() < n) return 0;
  for (size_t i = 1; i < n; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    value = value << 6 | (byte(i) & 0x3Fu);
  }
  if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return n;
}

size_t questions(std::string_view s) {
  return static_cast<size_t>(std::count(s.begin(), s.end(), '?'));
}

}  // namespace

bool config_says_utf8(std::string_view text) {
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!same_ignoring_case(line.substr(0, 8), "encoding")) continue;
    const std::string_view value = trim(line.substr(8));
    if (value.size() == line.size() - 8) continue;  // no blank after the word
    if (same_ignoring_case(value, "utf-8") || same_ignoring_case(value, "utf8")) return true;
  }
  return false;
}

bool starts_with_utf8_bom(std::string_view bytes) { return bytes.substr(0, 3) == kBom; }

bool valid_utf8(std::string_view bytes) {
  uint32_t value = 0;
  for (size_t i = 0; i < bytes.size();) {
    const size_t n = read_character(bytes.substr(i), value);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

ScenarioDecoding decode_utf8_scenario(std::string_view bytes) {
  ScenarioDecoding out;
  if (starts_with_utf8_bom(bytes)) bytes.remove_prefix(kBom.size());
  // A character without a Shift-JIS form comes out as '?': when the whole
  // text gains none, it converted cleanly. Otherwise the first such
  // character is looked for, which is only done for a text that fails.
  out.sjis = to_sjis(bytes);
  const bool valid = valid_utf8(bytes);
  if (valid && questions(out.sjis) == questions(bytes)) return out;
  out.ok = false;
  out.line = 1;
  uint32_t value = 0;
  for (size_t i = 0; i < bytes.size();) {
    const size_t n = read_character(bytes.substr(i), value);
    if (n == 0) {
      out.sjis.clear();
      return out;  // not UTF-8: no character to name
    }
    const std::string_view character = bytes.substr(i, n);
    if (value == '\n') {
      ++out.line;
    } else if (value >= 0x80 && to_sjis(character) == "?") {
      out.code_point = value;
      out.character = character;
      out.sjis.clear();
      return out;
    }
    i += n;
  }
  out.sjis.clear();
  return out;
}

std::string describe_decoding_failure(std::string_view file_name, const ScenarioDecoding& failed) {
  std::string text(file_name);
  text += " line " + std::to_string(failed.line) + ": ";
  if (failed.code_point == 0) return text + "not UTF-8";
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(failed.code_point));
  return text + code + " (" + failed.character + ") has no Shift-JIS form";
}

}  // namespace vellumite
