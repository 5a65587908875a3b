#include "script/lint_scan.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "base/sjis.h"
#include "graphics/image_tag.h"
#include "script/command_table.h"
#include "script/lint_reader.h"
#include "script/lint_table.h"

namespace vellumite {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lint_lower(c);
  return out;
}

// `arc` stores its registration with ASCII letters lowered, never the second
// byte of a Shift-JIS character.
std::string lowered_registration(std::string_view s) {
  std::string out(s);
  bool second = false;
  for (char& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if (second) {
      second = false;
    } else if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
      second = true;
    } else {
      c = lint_lower(c);
    }
  }
  return out;
}

// A file name as the game's lookup compares it: any case, either separator.
std::string file_key(std::string_view name) {
  std::string key = lowered(name);
  std::replace(key.begin(), key.end(), '/', '\\');
  return key;
}

std::string in_quotes(std::string_view sjis) { return "\"" + to_utf8(sjis) + "\""; }

struct LabelDef {
  int32_t offset;  // of the '*'
  std::string name;
  bool fall_in = false;  // the statement before it can run on into it
};

struct Jump {
  int32_t offset;
  std::string name;
  bool from_define = false;  // made in the define block
};

// Commands after which control never runs on to the next statement.
bool ends_flow(std::string_view word) {
  static constexpr std::string_view kWords[] = {"goto",  "return",      "end", "select",
                                                "reset", "definereset", "game"};
  return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

// The word's entry in either phase's table, so that a command in the wrong
// phase is told from an unknown one.
const CommandEntry* command_entry(std::string_view word, bool define_mode) {
  const CommandEntry* entry = find_command(word, define_mode);
  return entry != nullptr ? entry : find_command(word, !define_mode);
}

class Scanner : LintReader {
 public:
  explicit Scanner(std::string_view text) : LintReader(text) {}

  LintScan run() {
    collect_labels();
    // The first walk learns the aliases, which may be defined after a use
    // in the text; the second reports.
    walk();
    for (const Jump& j : jumps_) (j.from_define ? define_targets_ : game_targets_).insert(j.name);
    out_ = LintScan{};
    jumps_.clear();
    reporting_ = aliases_known_ = true;
    walk();
    check_labels();
    std::erase_if(out_.files,
                  [&](const LintFileUse& use) { return written_.count(file_key(use.name)) != 0; });
    std::stable_sort(
        out_.findings.begin(), out_.findings.end(),
        [](const LintFinding& a, const LintFinding& b) { return a.offset < b.offset; });
    return std::move(out_);
  }

 private:
  void report(int32_t offset, bool error, std::string message) {
    if (reporting_) out_.findings.push_back(LintFinding{offset, error, std::move(message)});
  }
  // ---- labels ---------------------------------------------------------------
  // The labels as the loader collects them: a '*' first on its line, or
  // right behind another label's name.
  void collect_labels() {
    pos_ = 0;
    for (;;) {
      const char c = cur();
      if (c == ' ' || c == '\t' || c == '\n') {
        ++pos_;
        continue;
      }
      if (c == '\0') break;
      if (c != '*') {
        skip_line();
        continue;
      }
      const int32_t start = pos_++;
      std::string name;
      try {
        name = token();
      } catch (const LintArgumentError&) {
        skip_line();
      }
      if (label_index_.count(name) != 0) {
        duplicates_.push_back(LabelDef{start, name});
      } else {
        label_index_.emplace(name, labels_.size());
        label_at_.emplace(start, labels_.size());
        labels_.push_back(LabelDef{start, name});
      }
      if (cur() == '\n') ++pos_;
    }
  }

  void check_labels() {
    for (const LabelDef& d : duplicates_) {
      report(d.offset, true, "label *" + d.name + " is defined twice");
    }
    std::unordered_set<std::string> jumped;
    for (const Jump& j : jumps_) {
      if (label_index_.count(j.name) == 0) {
        report(j.offset, true, "label *" + to_utf8(j.name) + " does not exist");
      }
      jumped.insert(j.name);
    }
    for (std::string_view root : {"define", "start"}) {
      if (label_index_.count(std::string(root)) == 0) {
        report(0, true, "label *" + std::string(root) + " does not exist");
      }
    }
    // A jump to a label computed at run time may reach any label.
    if (computed_jump_) return;
    for (const LabelDef& d : labels_) {
      if (d.fall_in || jumped.count(d.name) != 0 || d.name == "define" || d.name == "start") {
        continue;
      }
      report(d.offset, false, "label *" + d.name + " is never reached");
    }
  }

  // ---- statements -------------------------------------------------------------
  void walk() {
    pos_ = 0;
    define_ = false;
    falls_ = false;
    conditional_ = false;
    defined_aliases_.clear();
    for (;;) {
      const char c = cur();
      if (c == '\0') break;
      if (c == '\n') {
        conditional_ = false;
        ++pos_;
      } else if (is_blank(c) || c == ':') {
        ++pos_;
      } else if (c == ';') {
        skip_line();
      } else if (c == '*') {
        label_line();
      } else if ((lint_lower(c) >= 'a' && lint_lower(c) <= 'z') || c == '_') {
        command();
      } else {
        if (define_) report(pos_, true, "text cannot stand in the define block");
        skip_line();
      }
    }
  }

  void label_line() {
    auto it = label_at_.find(pos_);
    if (it == label_at_.end()) {  // a '*' inside a line: the rest is skipped
      skip_line();
      return;
    }
    LabelDef& label = labels_[it->second];
    if (reporting_) label.fall_in = falls_;
    falls_ = true;
    // The define block runs from *define to `game`, with the labels only it
    // jumps to (its subroutines); a label the game jumps to is the game's,
    // and control that runs on into a label stays in its phase.
    const bool game_target = game_targets_.count(label.name) != 0 || label.name == "start";
    if (label.name == "define" || (define_targets_.count(label.name) != 0 && !game_target)) {
      define_ = true;
    } else if (game_target) {
      define_ = false;
    }
    ++pos_;
    try {
      token();
    } catch (const LintArgumentError&) {
      skip_line();
    }
  }

  void command() {
    const int32_t start = pos_;
    try {
      word_ = token();
    } catch (const LintArgumentError& b) {
      report(b.offset, true, b.message);
      skip_line();
      return;
    }
    const CommandEntry* entry = command_entry(word_, define_);
    const std::optional<std::string_view> shape = argument_shape(word_);
    if (entry == nullptr || !shape) {
      report(start, true, "unknown command '" + word_ + "'");
      skip_line();
      return;
    }
    if (entry->command_class == CommandClass::DefineOnly && !define_) {
      report(start, true, "'" + word_ + "' may stand only in the define block");
    } else if (entry->command_class == CommandClass::GameOnly && define_) {
      report(start, true, "'" + word_ + "' cannot stand in the define block");
    }
    last_string_.reset();
    try {
      arguments(*shape);
    } catch (const LintArgumentError& b) {
      report(b.offset, true, b.message);
      skip_line();
    }
    if (word_ == "arc" && last_string_ && reporting_) {
      out_.archives.push_back(lowered_registration(*last_string_));
    }
    if (word_ == "stralias" && !pending_alias_.empty()) {
      str_aliases_[pending_alias_] = last_string_;
    }
    pending_alias_.clear();
    if (ends_flow(word_) && !conditional_) falls_ = false;
    if (word_ == "game" && define_) define_ = false;
  }

  void arguments(std::string_view shape) {
    arg_ = 0;
    bool optional = false;
    for (size_t i = 0; i < shape.size(); ++i) {
      const char kind = shape[i];
      if (kind == '[') {
        optional = true;
        continue;
      }
      if (kind == '*') {
        repeat(shape.substr(i + 1), arg_ > 0);
        return;
      }
      if (arg_ > 0) {
        if (!comma(optional)) return;
      } else {
        skip_blanks();
        if (at_statement_end()) too_few();
      }
      ++arg_;
      argument(kind);
      if (kind == '?') return;  // the rest of the line is statements
    }
    skip_blanks();
    if (cur() == ',') throw LintArgumentError{pos_, "too many arguments for '" + word_ + "'"};
  }

  // The comma before the next argument; false when an optional one is absent.
  bool comma(bool optional) {
    skip_blanks();
    if (cur() == ',') {
      ++pos_;
      return true;
    }
    if (optional) return false;
    if (at_statement_end()) too_few();
    throw LintArgumentError{
        pos_, "a comma is missing after argument " + std::to_string(arg_) + " of '" + word_ + "'"};
  }

  [[noreturn]] void too_few() const {
    throw LintArgumentError{pos_, "too few arguments for '" + word_ + "'"};
  }

  // A list of items (select's texts and labels) that may run over lines.
  void repeat(std::string_view group, bool after_arguments) {
    if (after_arguments) {
      comma(false);
    } else {
      skip_blanks();
      if (at_statement_end()) too_few();
    }
    for (;;) {
      skip_blanks_and_newlines();
      for (size_t j = 0; j < group.size(); ++j) {
        if (j > 0) comma(false);
        ++arg_;
        argument(group[j]);
      }
      const int32_t back = pos_;
      skip_blanks_and_newlines();
      if (cur() != ',') {
        pos_ = back;
        return;
      }
      ++pos_;
    }
  }

  void argument(char kind) {
    switch (kind) {
      case 'n': number(); break;
      case 's': last_string_ = string(); break;
      case 'l': label(); break;
      case 'v': variable('%', "a numeric variable"); break;
      case 'V': variable('$', "a string variable"); break;
      case 'x':
        skip_blanks();
        if (cur() != '%' && cur() != '$') bad("a variable");
        string_variable_ = cur() == '$';
        ++pos_;
        number();
        break;
      case 'y':
        if (string_variable_) {
          string();
        } else {
          number();
        }
        break;
      case 'c': colour(); break;
      case 't': alias_name(); break;
      case 'p': picture(); break;
      case 'a': file(LintFileKind::Sound); break;
      case 'f': file(LintFileKind::Film); break;
      case 'm': music(); break;
      case 'b': alpha_pictures(); break;
      case 'u':
        if (!word_is("off")) file(LintFileKind::Pointer);
        break;
      case 'o':
        if (!word_is("off")) colour();
        break;
      case 'T':
        skip_blanks();
        if (cur() == '*') {
          label();
        } else if (!word_is("off")) {
          bad("off or a label");
        }
        break;
      case 'L': position("lcr", "l, c or r"); break;
      case 'A': position("lcra", "l, c, r or a"); break;
      case 'B': background(); break;
      case 'E': effect_type(); break;
      case 'G': frame(); break;
      case 'k':
        skip_blanks();
        if (cur() == '#') colour();
        break;
      case 'W': one_of({"leftup", "copy", "alpha"}, "leftup, copy or alpha"); break;
      case 'Y':
        one_of({"rmenu", "lookback", "windowerase", "reset", "skip", "load", "save"},
               "a system call");
        break;
      case 'R': menu_items(); break;
      case '?': conditions(); break;
      default: break;
    }
  }

  // ---- readers the walk adds --------------------------------------------
  void label() {
    skip_blanks();
    const int32_t start = pos_;
    const char c = cur();
    if (c == '$' || c == '"') {
      const std::optional<std::string> text = string();
      if (!text) {
        computed_jump_ = true;
      } else if (text->empty() || (*text)[0] != '*') {
        throw LintArgumentError{start, "a label given as a string must begin with *"};
      } else {
        jumps_.push_back(Jump{start, lowered(std::string_view(*text).substr(1)), define_});
      }
      return;
    }
    if (c != '*') bad("a label");
    ++pos_;
    jumps_.push_back(Jump{start, token(), define_});
  }

  void alias_name() {
    const int32_t start = pos_;
    const std::string name = token();
    if (name.empty()) bad("a name");
    if (reporting_ && !defined_aliases_.insert(word_ + " " + name).second) {
      report(start, true, "alias '" + name + "' is defined twice");
    }
    if (word_ == "numalias") {
      num_aliases_.insert(name);
    } else {
      pending_alias_ = name;
      str_aliases_.try_emplace(name, std::nullopt);
    }
  }

  void use_file(int32_t offset, LintFileKind kind, std::string name) {
    if (reporting_ && !name.empty())
      out_.files.push_back(LintFileUse{offset, kind, std::move(name)});
  }

  void file(LintFileKind kind) {
    skip_blanks();
    const int32_t start = pos_;
    if (std::optional<std::string> name = string()) use_file(start, kind, std::move(*name));
  }

  // bw2a reads "<base>_b.bmp" and "<base>_w.bmp" and writes "out\<base>.bmp",
  // which the game may show afterwards.
  void alpha_pictures() {
    skip_blanks();
    const int32_t start = pos_;
    const std::optional<std::string> base = string();
    if (!base || base->empty()) return;
    use_file(start, LintFileKind::Picture, *base + "_b.bmp");
    use_file(start, LintFileKind::Picture, *base + "_w.bmp");
    written_.insert(file_key("out\\" + *base + ".bmp"));
  }

  void music() {
    skip_blanks();
    const int32_t start = pos_;
    std::optional<std::string> name = string();
    // "*N" is a track of the CD.
    if (name && !name->starts_with('*')) use_file(start, LintFileKind::Sound, std::move(*name));
  }

  void picture() {
    skip_blanks();
    const int32_t start = pos_;
    const std::optional<std::string> tag = string();
    if (!tag || tag->empty()) return;
    TagParse parsed = parse_image_tag(*tag);
    if (parsed.status != TagStatus::Ok) {
      report(start, true, "bad image tag " + in_quotes(*tag));
      return;
    }
    use_file(start, LintFileKind::Picture, std::move(parsed.tag.file_name));
  }

  // bg: "#rrggbb", black, white or a picture.
  void background() {
    skip_blanks();
    if (cur() == '#') {
      colour();
    } else if (cur() != '"' && cur() != '$') {
      const int32_t start = pos_;
      const std::string w = token();
      if (w == "black" || w == "white") return;
      pos_ = start;
      picture();
    } else {
      picture();
    }
  }

  // An effect's type: the duration follows unless the type is 1, and types
  // 15 and 18 take a mask.
  void effect_type() {
    const std::optional<int32_t> type = number();
    if (!type) {
      if (comma(true)) {
        ++arg_;
        number();
        if (comma(true)) {
          ++arg_;
          picture();
        }
      }
      return;
    }
    if (*type == 1) return;
    comma(false);
    ++arg_;
    number();
    if (*type == 15 || *type == 18) {
      comma(false);
      ++arg_;
      picture();
    }
  }

  // setwindow's frame: a colour and four numbers, or a picture and two.
  void frame() {
    skip_blanks();
    int numbers = 2;
    if (cur() == '#') {
      colour();
      numbers = 4;
    } else {
      picture();
    }
    for (int i = 0; i < numbers; ++i) {
      comma(false);
      ++arg_;
      number();
    }
  }

  void menu_items() {
    for (;;) {
      string();
      comma(false);
      ++arg_;
      one_of({"lookback", "windowerase", "load", "save", "reset", "skip"}, "an rmenu item");
      skip_blanks();
      if (cur() != ',') return;
      ++pos_;
      ++arg_;
    }
  }

  void conditions() {
    for (;;) {
      skip_blanks();
      if (cur() == 'f') {
        const int32_t start = pos_;
        if (token() != "fchk")
          throw LintArgumentError{start, "a condition of '" + word_ + "' is wrong"};
        if (define_) report(start, true, "fchk cannot stand in the define block");
        string();
      } else {
        number();
        skip_blanks();
        const char a = cur();
        const char b = at(pos_ + 1);
        if (a == '=' || a == '>' || (a == '<' && b != '>')) {
          pos_ += b == '=' ? 2 : 1;
        } else if ((a == '!' && b == '=') || (a == '<' && b == '>')) {
          pos_ += 2;
        } else {
          throw LintArgumentError{pos_, "a condition of '" + word_ + "' is wrong"};
        }
        number();
      }
      if (cur() != '&') break;
      ++pos_;
      if (cur() == '&') ++pos_;
    }
    conditional_ = true;
  }

  bool reporting_ = false;
  LintScan out_;

  std::vector<LabelDef> labels_;
  std::vector<LabelDef> duplicates_;
  std::unordered_map<std::string, size_t> label_index_;
  std::unordered_map<int32_t, size_t> label_at_;  // '*' offset to label
  std::vector<Jump> jumps_;
  // Labels jumped to from each phase, learnt by the first walk.
  std::unordered_set<std::string> define_targets_, game_targets_;
  std::unordered_set<std::string> written_;  // files the game itself writes
  bool computed_jump_ = false;

  std::unordered_set<std::string> defined_aliases_;
  std::string pending_alias_;

  // The walk.
  bool define_ = false;
  bool falls_ = false;        // control can run on to the current statement
  bool conditional_ = false;  // an `if` earlier on this line
  bool string_variable_ = false;
  std::optional<std::string> last_string_;
};

}  // namespace

LintScan scan_scenario(std::string_view text) { return Scanner(text).run(); }

std::string_view lint_file_kind_name(LintFileKind kind) {
  switch (kind) {
    case LintFileKind::Picture: return "picture";
    case LintFileKind::Sound: return "sound";
    case LintFileKind::Film: return "film";
    case LintFileKind::Pointer: return "pointer";
  }
  return "file";
}

}  // namespace vellumite
