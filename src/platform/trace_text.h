// Quoting for trace fields: a string becomes "..." with '"', '\\', line
// feeds and carriage returns escaped, so every trace event stays one line.
#pragma once

#include <string>
#include <string_view>

namespace vellumite {

inline std::string quote_trace_string(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + 2);
  out += '"';
  for (char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  out += '"';
  return out;
}

}  // namespace vellumite
