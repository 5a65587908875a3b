#include "script/lint_reader.h"

#include <algorithm>

namespace vellumite {
namespace {

constexpr size_t kMaxTokenBytes = 254;
constexpr size_t kMaxStringBytes = 254;
constexpr int kMaxDigits = 18;

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_lower(char c) { return c >= 'a' && c <= 'z'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_hex(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

char lint_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

void LintReader::skip_blanks() {
  while (is_blank(cur())) ++pos_;
}

void LintReader::skip_blanks_and_newlines() {
  while (is_blank(cur()) || cur() == '\n') ++pos_;
}

void LintReader::skip_line() {
  while (cur() != '\0' && cur() != '\n') ++pos_;
}

bool LintReader::at_statement_end() const {
  const char c = cur();
  return c == '\0' || c == '\n' || c == ':' || c == ';';
}

void LintReader::bad(std::string_view what) const {
  throw LintArgumentError{pos_, "argument " + std::to_string(arg_) + " of '" + word_ +
                                    "' must be " + std::string(what)};
}

std::string LintReader::token() {
  skip_blanks();
  std::string out;
  for (;;) {
    const char c = lint_lower(cur());
    if (!(is_lower(c) || c == '_' || (!out.empty() && is_digit(c)))) break;
    if (out.size() == kMaxTokenBytes) throw LintArgumentError{pos_, "a name is too long"};
    out += c;
    ++pos_;
  }
  skip_blanks();
  return out;
}

std::optional<int32_t> LintReader::number() {
  skip_blanks();
  const char c = cur();
  if (c == '%') {
    ++pos_;
    number();
    skip_blanks();
    return std::nullopt;
  }
  if (is_digit(c) || c == '+' || c == '-') {
    const bool negative = c == '-';
    if (!is_digit(c)) ++pos_;
    int64_t value = 0;
    int digits = 0;
    while (is_digit(cur())) {
      if (++digits > kMaxDigits) throw LintArgumentError{pos_, "a number is too long"};
      value = value * 10 + (cur() - '0');
      ++pos_;
    }
    skip_blanks();
    // Only small literals (effect types) are looked at.
    return static_cast<int32_t>(
        std::clamp<int64_t>(negative ? -value : value, INT32_MIN, INT32_MAX));
  }
  const int32_t start = pos_;
  const std::string name = token();
  if (name.empty()) bad("a number");
  if (aliases_known_ && num_aliases_.count(name) == 0) {
    throw LintArgumentError{start, "unknown numeric alias '" + name + "'"};
  }
  return std::nullopt;
}

std::optional<std::string> LintReader::string() {
  skip_blanks();
  const char c = cur();
  if (c == '$') {
    ++pos_;
    number();
    skip_blanks();
    return std::nullopt;
  }
  if (c == '"') {
    const int32_t start = ++pos_;
    while (cur() != '"') {
      if (cur() == '\n' || cur() == '\0') throw LintArgumentError{pos_, "a string is not closed"};
      ++pos_;
    }
    std::string text(text_.substr(static_cast<size_t>(start), static_cast<size_t>(pos_ - start)));
    if (text.size() > kMaxStringBytes) throw LintArgumentError{start, "a string is too long"};
    ++pos_;
    skip_blanks();
    return text;
  }
  const int32_t start = pos_;
  const std::string name = token();
  if (name.empty()) bad("a string");
  auto it = str_aliases_.find(name);
  if (it == str_aliases_.end()) {
    if (aliases_known_) throw LintArgumentError{start, "unknown string alias '" + name + "'"};
    return std::nullopt;
  }
  return it->second;
}

void LintReader::variable(char sign, std::string_view what) {
  skip_blanks();
  if (cur() != sign) bad(what);
  ++pos_;
  number();
}

void LintReader::colour() {
  skip_blanks();
  bool good = cur() == '#';
  for (int i = 1; good && i <= 6; ++i) good = is_hex(at(pos_ + i));
  if (!good) bad("a colour #rrggbb");
  pos_ += 7;
  skip_blanks();
}

bool LintReader::word_is(std::string_view w) {
  skip_blanks();
  const int32_t start = pos_;
  if (token() == w) return true;
  pos_ = start;
  return false;
}

void LintReader::one_of(std::initializer_list<std::string_view> words, std::string_view what) {
  const std::string w = token();
  if (std::find(words.begin(), words.end(), w) == words.end()) bad(what);
}

void LintReader::position(std::string_view letters, std::string_view what) {
  skip_blanks();
  if (cur() == '\0' || letters.find(lint_lower(cur())) == std::string_view::npos) bad(what);
  ++pos_;
}

}  // namespace vellumite
