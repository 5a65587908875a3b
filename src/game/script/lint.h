// The author's checker (`vellumite --lint`): loads the scenario of the game
// in the current directory, checks it without running it, and looks for the
// files it names in the folder and in the archives it registers.
#pragma once

#include <string>

namespace vellumite {

class Platform;
class Automation;

struct LintReport {
  std::string text;   // "FILE:LINE: error|warning: message" lines, UTF-8
  int exit_code = 0;  // 1 when there is an error
};

LintReport lint_game(Platform& platform, Automation& automation);

}  // namespace vellumite
