// The argument readers. Every command handler pulls its arguments out of the
// scenario buffer through these; each starts at `script_pos` and leaves it
// behind what it consumed (trailing blanks included, except expect_comma).
// Errors are fatal through script_error.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/colour.h"
#include "base/hex_digit.h"
#include "game/engine.h"

namespace vellumite {

inline bool is_blank(char c) { return c == ' ' || c == '\t'; }

inline char current_byte(const Engine& e) { return e.script.script_buffer[e.script.script_pos]; }

inline void skip_blanks(Engine& e) {
  const char* buf = e.script.script_buffer.get();
  int32_t pos = e.script.script_pos;
  while (is_blank(buf[pos])) ++pos;
  e.script.script_pos = pos;
}

inline void skip_blanks_and_newlines(Engine& e) {
  const char* buf = e.script.script_buffer.get();
  int32_t pos = e.script.script_pos;
  while (is_blank(buf[pos]) || buf[pos] == '\n') ++pos;
  e.script.script_pos = pos;
}

// The longest token the readers take.
constexpr size_t kMaxTokenBytes = 254;
// Room for a token whose letters have to be lowered.
using TokenScratch = std::array<char, kMaxTokenBytes>;

// An identifier (letters and '_', digits after the first), lowercased, at most
// 254 characters. An empty result is not an error here. The view shows the
// scenario's own bytes when they are lowercase already, else `scratch`.
std::string_view read_token(Engine& e, TokenScratch& scratch);
void read_token(Engine& e, std::string& out);
int32_t read_number(Engine& e);
void read_string(Engine& e, std::string& out);
// A label operand: *name, or a string ("*name" or $N) whose first byte is '*';
// `out` is the name without the star.
void read_label(Engine& e, std::string& out);
// The same as a view: of the scenario or `scratch` for *name, of `text` for a
// string.
std::string_view read_label(Engine& e, TokenScratch& scratch, std::string& text);
// The six hexadecimal digits of a #rrggbb colour; `text` points behind '#'.
Colour read_color(Engine& e, const char* text);
// One `#rrggbb` argument, read past; anything else is the error "エラー" with
// `message`.
Colour read_hash_colour(Engine& e, std::string_view message);
void expect_comma(Engine& e);

// Checks a variable number; a number outside 0..4095 is a runtime error that
// names the command being run.
size_t checked_variable(Engine& e, int32_t index);

// Skips to the next line feed or NUL without consuming it.
void skip_to_line_end(Engine& e);

}  // namespace vellumite
