// The argument readers of the author's checker: they read a scenario's
// arguments as the game's readers do, without running anything, and leave a
// value that only the running game knows (a variable) unknown.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace vellumite {

// An argument that cannot be read: the rest of its line is not checked.
struct LintArgumentError {
  int32_t offset;
  std::string message;  // English, UTF-8
};

char lint_lower(char c);

class LintReader {
 public:
  // `text` ends at its first NUL byte.
  explicit LintReader(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

 protected:
  char at(int32_t p) const {
    return p >= 0 && static_cast<size_t>(p) < text_.size() ? text_[static_cast<size_t>(p)] : '\0';
  }
  char cur() const { return at(pos_); }
  void skip_blanks();
  void skip_blanks_and_newlines();
  void skip_line();
  // A line feed, ':', ';' or the end: no further argument stands here.
  bool at_statement_end() const;
  // Throws "argument N of 'word' must be <what>".
  [[noreturn]] void bad(std::string_view what) const;

  std::string token();                  // a lowered name, maybe empty
  std::optional<int32_t> number();      // a literal's value, else nullopt
  std::optional<std::string> string();  // a literal's or alias's text
  void variable(char sign, std::string_view what);
  void colour();                     // #rrggbb
  bool word_is(std::string_view w);  // consumes `w` when it stands here
  void one_of(std::initializer_list<std::string_view> words, std::string_view what);
  void position(std::string_view letters, std::string_view what);

  std::string_view text_;
  int32_t pos_ = 0;
  // Once every alias is known, an unknown one is an error.
  bool aliases_known_ = false;
  std::unordered_set<std::string> num_aliases_;
  // Name to text; nullopt when the text is not a literal.
  std::unordered_map<std::string, std::optional<std::string>> str_aliases_;
  // The command being read and the number of its current argument.
  std::string word_;
  int arg_ = 0;
};

}  // namespace vellumite
