// Shift-JIS (code page 932) at the edges: the engine keeps every text as
// Shift-JIS bytes and converts only when a text leaves it (trace, logs,
// window title, the platform's dialogs) or when one of its own literals,
// written in UTF-8 in the source, enters it.
#pragma once

#include <string>
#include <string_view>

namespace vellumite {

// Whether the C library can convert CP932 both ways. The program refuses to
// start without it; the conversions below throw std::runtime_error then.
bool sjis_conversion_available();

// Shift-JIS to UTF-8; bytes that are not valid Shift-JIS become U+FFFD.
std::string to_utf8(std::string_view sjis);
// UTF-8 to Shift-JIS; characters without a Shift-JIS form become '?'.
std::string to_sjis(std::string_view utf8);

// True for the first byte of a two-byte Shift-JIS character.
inline bool is_sjis_lead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace vellumite
