#include "game/script/readers.h"

#include <array>
#include <cstring>

#include "game/script/script_error.h"

namespace vellumite {
namespace {

constexpr size_t kMaxBytes = kMaxTokenBytes;  // longest string

inline char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

// What each byte is to a token.
constexpr uint8_t kLetter = 1;   // a lowercase letter or '_'
constexpr uint8_t kCapital = 2;  // with kLetter: a capital
constexpr uint8_t kDigit = 4;
constexpr std::array<uint8_t, 256> kTokenBytes = [] {
  std::array<uint8_t, 256> kinds{};
  for (int c = 'a'; c <= 'z'; ++c) kinds[static_cast<size_t>(c)] = kLetter;
  for (int c = 'A'; c <= 'Z'; ++c) kinds[static_cast<size_t>(c)] = kLetter | kCapital;
  for (int c = '0'; c <= '9'; ++c) kinds[static_cast<size_t>(c)] = kDigit;
  kinds['_'] = kLetter;
  return kinds;
}();

const char* syntax_error_title = "構文エラー";

// A number given by its alias; kept out of read_number, whose digits are
// the common case.
[[gnu::noinline]] int32_t read_num_alias(Engine& e) {
  TokenScratch scratch;
  const std::string_view name = read_token(e, scratch);
  if (const int32_t* value = find_num_alias(e.vars, name)) return *value;
  script_error(e, syntax_error_title, error_message("数字がくるべきところに数字がありません。"));
}

}  // namespace

size_t checked_variable(Engine& e, int32_t index) {
  if (index < 0 || index >= kVariableCount) {
    // A number outside 0..4095 would reach past the variable tables.
    std::string message(e.script.current_command);
    message += error_message("の変数番号%dは範囲外です。", static_cast<long long>(index));
    script_error(e, "実行時エラー", message);
  }
  return static_cast<size_t>(index);
}

std::string_view read_token(Engine& e, TokenScratch& scratch) {
  skip_blanks(e);
  const char* buf = e.script.script_buffer.get();
  const int32_t start = e.script.script_pos;
  int32_t pos = start;
  // Letters and '_', then digits too.
  uint8_t seen = 0;
  for (;; ++pos) {
    const uint8_t kind = kTokenBytes[static_cast<unsigned char>(buf[pos])];
    if (kind == 0 || (kind == kDigit && pos == start)) break;
    seen |= kind;
    if (static_cast<size_t>(pos - start) >= kMaxTokenBytes) {
      e.script.script_pos = pos + 1;
      std::string token(buf + start, static_cast<size_t>(pos + 1 - start));
      for (char& t : token) t = lower(t);
      script_error(e, "命令エラー", error_message("長すぎるトークンです:%s", token));
    }
  }
  e.script.script_pos = pos;
  skip_blanks(e);
  const auto length = static_cast<size_t>(pos - start);
  if ((seen & kCapital) == 0) return {buf + start, length};
  for (size_t i = 0; i < length; ++i) scratch[i] = lower(buf[static_cast<size_t>(start) + i]);
  return {scratch.data(), length};
}

void read_token(Engine& e, std::string& out) {
  TokenScratch scratch;
  out.assign(read_token(e, scratch));
}

int32_t read_number(Engine& e) {
  skip_blanks(e);
  const char* buf = e.script.script_buffer.get();
  char c = buf[e.script.script_pos];
  if (c == '%') {
    ++e.script.script_pos;
    int32_t index = read_number(e);
    skip_blanks(e);
    return e.vars.num_vars[checked_variable(e, index)];
  }
  if (is_digit(c) || c == '+' || c == '-') {
    int32_t pos = e.script.script_pos;
    bool negative = c == '-';
    if (c == '+' || c == '-') ++pos;
    const int32_t first = pos;
    // The value is converted with wrap-around in 32 bits, like the scenario's
    // arithmetic; at most 18 digits are accepted.
    uint32_t value = 0;
    while (is_digit(buf[pos])) {
      value = value * 10 + static_cast<uint32_t>(buf[pos] - '0');
      ++pos;
      if (pos - first > 18) {
        e.script.script_pos = pos;
        script_error(
            e, syntax_error_title,
            error_message("数字が長すぎます。:%s",
                          std::string_view(buf + first, static_cast<size_t>(pos - first))));
      }
    }
    e.script.script_pos = pos;
    skip_blanks(e);
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
  }
  return read_num_alias(e);
}

void read_string(Engine& e, std::string& out) {
  skip_blanks(e);
  const char* buf = e.script.script_buffer.get();
  char c = buf[e.script.script_pos];
  if (c == '$') {
    ++e.script.script_pos;
    int32_t index = read_number(e);
    skip_blanks(e);
    out = e.vars.str_vars[checked_variable(e, index)];
    return;
  }
  if (c == '"') {
    int32_t pos = e.script.script_pos + 1;
    out.clear();
    while (buf[pos] != '"') {
      if (buf[pos] == '\n' || buf[pos] == '\0') {
        e.script.script_pos = pos;
        script_error(e, syntax_error_title, error_message("文字列中に改行が有ります。"));
      }
      out += buf[pos];
      ++pos;
      if (out.size() > kMaxBytes) {
        e.script.script_pos = pos;
        script_error(e, syntax_error_title, error_message("文字列が長すぎます。:%s", out));
      }
    }
    e.script.script_pos = pos + 1;
    skip_blanks(e);
    return;
  }
  TokenScratch scratch;
  const std::string_view name = read_token(e, scratch);
  if (const std::string* text = find_str_alias(e.vars, name)) {
    out = *text;
    skip_blanks(e);
    return;
  }
  script_error(e, syntax_error_title,
               error_message("文字列が来るべきところに文字列がありません。"));
}

std::string_view read_label(Engine& e, TokenScratch& scratch, std::string& text) {
  skip_blanks(e);
  char c = current_byte(e);
  if (c == '$' || c == '"') {
    read_string(e, text);
    if (text.empty() || text[0] != '*') {
      script_error(e, "実行時エラー",
                   error_message("ラベル名を指定すべきところで文字列が代わりに指定されましたが、"
                                 "文字列の先頭が*ではありません。"));
    }
    return std::string_view(text).substr(1);
  }
  if (c == '*') {
    ++e.script.script_pos;
    return read_token(e, scratch);
  }
  script_error(e, syntax_error_title,
               error_message("ラベル名が来るべきところにラベル名が来ませんでした。"));
}

void read_label(Engine& e, std::string& out) {
  TokenScratch scratch;
  std::string text;
  out.assign(read_label(e, scratch, text));
}

Colour read_color(Engine& e, const char* text) {
  uint32_t value = 0;
  for (int i = 0; i < 6; ++i) {
    const int digit = hex_digit_value(text[i]);
    if (digit < 0) {
      script_error(e, syntax_error_title,
                   error_message("カラー指定が間違っています。HTMLと同じ形式（例：#75fe1b）"
                                 "で指定してください。"));
    }
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return Colour::from_rgb(value);
}

Colour read_hash_colour(Engine& e, std::string_view message) {
  skip_blanks(e);
  if (current_byte(e) != '#') script_error(e, "エラー", error_message(message));
  const Colour colour = read_color(e, e.script.script_buffer.get() + e.script.script_pos + 1);
  e.script.script_pos += 7;
  return colour;
}

void expect_comma(Engine& e) {
  skip_blanks(e);
  if (current_byte(e) != ',') {
    script_error(e, syntax_error_title,
                 error_message("コンマが必要なところにコンマが有りません。"));
  }
  ++e.script.script_pos;
}

void skip_to_line_end(Engine& e) {
  const char* buf = e.script.script_buffer.get();
  int32_t pos = e.script.script_pos;
  // Short lines end within a few bytes; a longer one is searched with
  // memchr up to the buffer's final NUL, and a NUL inside it ends the line
  // as well.
  for (int i = 0; i < 32; ++i, ++pos) {
    if (buf[pos] == '\n' || buf[pos] == '\0') {
      e.script.script_pos = pos;
      return;
    }
  }
  const int32_t length = e.script.script_length;
  if (pos >= length) {
    while (buf[pos] != '\n' && buf[pos] != '\0') ++pos;
    e.script.script_pos = pos;
    return;
  }
  const char* from = buf + pos;
  auto n = static_cast<size_t>(length - pos);
  if (const void* feed = std::memchr(from, '\n', n))
    n = static_cast<size_t>(static_cast<const char*>(feed) - from);
  if (const void* nul = std::memchr(from, '\0', n))
    n = static_cast<size_t>(static_cast<const char*>(nul) - from);
  e.script.script_pos = pos + static_cast<int32_t>(n);
}

}  // namespace vellumite
