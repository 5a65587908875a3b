// The author's checker over the scenario text: it walks the statements as
// the interpreter would meet them, without running any, and reports what
// would stop the game (unknown commands, a command in the wrong phase, bad
// arguments, jumps to labels that do not exist, bad image tags) and labels
// that nothing can reach. The files the scenario names are listed for the
// caller, which looks for them in the game folder and its archives.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellumite {

struct LintFinding {
  int32_t offset = 0;   // in the scenario text
  bool error = true;    // else a warning
  std::string message;  // English, UTF-8, one line
};

enum class LintFileKind : uint8_t { Picture, Sound, Film, Pointer };

struct LintFileUse {
  int32_t offset = 0;
  LintFileKind kind = LintFileKind::Picture;
  std::string name;  // Shift-JIS, as the scenario writes it
};

struct LintScan {
  std::vector<LintFinding> findings;  // in text order
  std::vector<LintFileUse> files;
  // The `arc` registrations written as literals, lower-cased as the command
  // stores them.
  std::vector<std::string> archives;
};

// `text` is the scenario buffer (Shift-JIS); it ends at its first NUL byte.
LintScan scan_scenario(std::string_view text);

// "picture", "sound", "film", "pointer".
std::string_view lint_file_kind_name(LintFileKind kind);

}  // namespace vellumite
