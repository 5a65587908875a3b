#include "graphics/image_tag.h"

#include <climits>

#include "base/hex_digit.h"
#include "graphics/picture.h"

namespace vellumite {
namespace {

// Walks the tag with a cursor; reading past the end yields NUL, so every scan
// stops at the end of the text like it stops at a C string's terminator.
class TagCursor {
 public:
  explicit TagCursor(std::string_view text) : text_(text) {}

  char at(size_t i) const { return i < text_.size() ? text_[i] : '\0'; }
  char peek() const { return at(pos_); }
  size_t pos() const { return pos_; }
  void advance(size_t n = 1) { pos_ += n; }

  // The usual string-to-integer conversion: leading white space and a sign,
  // then digits; saturates instead of overflowing. Does not move the cursor.
  int32_t number() const {
    size_t i = pos_;
    while (is_space(at(i))) ++i;
    bool negative = false;
    if (at(i) == '+' || at(i) == '-') negative = at(i++) == '-';
    long long value = 0;
    while (is_digit(at(i))) {
      if (value <= INT_MAX) value = value * 10 + (at(i) - '0');
      ++i;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int32_t>(value);
  }

  // Moves past the digit characters only (not past blanks or a sign).
  void skip_digits() {
    while (is_digit(peek())) ++pos_;
  }

  // Moves past the next ','; false when the text ends first.
  bool skip_past_comma() {
    while (peek() != ',') {
      if (peek() == '\0') return false;
      ++pos_;
    }
    ++pos_;
    return true;
  }

  static bool is_digit(char c) { return c >= '0' && c <= '9'; }
  static bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// Six hexadecimal digits at `at`, as the colour reader takes them.
bool read_hex_color(const TagCursor& cursor, size_t at, int32_t& value) {
  value = 0;
  for (size_t i = 0; i < 6; ++i) {
    int digit = hex_digit_value(cursor.at(at + i));
    if (digit < 0) return false;
    value = value * 16 + digit;
  }
  return true;
}

TagParse malformed() {
  TagParse result;
  result.status = TagStatus::Malformed;
  return result;
}

// The animation group behind a '/': cells, timing, loop mode. The cursor
// stands behind the '/'.
bool read_animation(TagCursor& cursor, ImageTag& tag) {
  int32_t cells = cursor.number();
  cursor.skip_digits();
  // A cell count below 1 would leave no cell to show and divide by zero.
  if (cells < 1) return false;
  if (!cursor.skip_past_comma()) return false;

  std::vector<int32_t> intervals;
  int32_t interval;
  if (cursor.peek() == '<') {
    // One number per cell, each followed by exactly one separator
    // character; the one after the last must be '>'. The list is bounded by
    // the tag's length, whatever the cell count says.
    cursor.advance();
    for (int32_t i = 0; i < cells; ++i) {
      intervals.push_back(cursor.number());
      cursor.skip_digits();
      char separator = cursor.peek();
      if (separator == '\0') return false;
      if (i == cells - 1 && separator != '>') return false;
      cursor.advance();
    }
    interval = -1;
  } else {
    interval = cursor.number();
    cursor.skip_digits();
  }
  if (!cursor.skip_past_comma()) return false;
  tag.loop_mode = cursor.number();
  cursor.skip_digits();

  tag.animated = true;
  tag.cells = cells;
  tag.interval = interval;
  tag.cell_intervals = std::move(intervals);
  return true;
}

}  // namespace

TagParse parse_image_tag(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  if (text.size() > kMaxTagBytes) return malformed();

  TagParse result;
  ImageTag& tag = result.tag;
  if (text.empty() || text[0] != ':') {
    tag.file_name = std::string(text);
    return result;
  }

  TagCursor cursor(text);
  cursor.advance();
  tag.has_settings = cursor.peek() != ';';
  while (cursor.peek() == ' ' || cursor.peek() == '\t') cursor.advance();

  switch (cursor.peek()) {
    case 'l':
      tag.trans_mode = kTransLeftup;
      cursor.advance();
      break;
    case 'a':
      tag.trans_mode = kTransAlpha;
      cursor.advance();
      break;
    case 'c':
      tag.trans_mode = kTransCopy;
      cursor.advance();
      break;
    case '#': {
      int32_t color;
      if (!read_hex_color(cursor, cursor.pos() + 1, color)) {
        result.status = TagStatus::BadColor;
        result.color_at = cursor.pos() + 1;
        return result;
      }
      tag.trans_mode = kTransKey;
      tag.key_color_given = true;
      tag.key_colour = Colour::from_rgb(static_cast<uint32_t>(color));
      cursor.advance(7);
      break;
    }
    case '!':
      tag.trans_mode = kTransKey;
      cursor.advance();
      tag.key_index_given = true;
      tag.key_index = cursor.number();
      cursor.skip_digits();
      break;
    default: break;  // no mode letter: the character is left for the scan
  }

  // Everything up to the ';' that is not an animation group is skipped; a
  // later group replaces an earlier one.
  while (cursor.peek() != ';') {
    if (cursor.peek() == '\0') return malformed();  // ":" without ";"
    if (cursor.peek() != '/') {
      cursor.advance();
      continue;
    }
    cursor.advance();
    if (!read_animation(cursor, tag)) return malformed();
  }
  tag.file_name = std::string(text.substr(cursor.pos() + 1));
  return result;
}

void apply_image_tag(Picture& picture, const ImageTag& tag) {
  if (tag.trans_mode >= 0) picture.trans_mode = tag.trans_mode;
  if (tag.key_color_given) picture.key_colour = tag.key_colour;
  if (tag.key_index_given) picture.key_index = tag.key_index;
  if (tag.animated) {
    picture.cells = tag.cells;
    picture.interval = tag.interval;
    picture.cell_intervals = tag.cell_intervals;
    picture.loop_mode = tag.loop_mode;
  }
}

}  // namespace vellumite
