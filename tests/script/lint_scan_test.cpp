#include "script/lint_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "script/command_table.h"
#include "script/lint_table.h"

namespace vellumite {
namespace {

// The findings as "LINE: error|warning: message" lines and the files as
// "LINE: kind name".
std::string scan(const std::string& text) {
  const LintScan s = scan_scenario(text);
  auto line = [&](int32_t offset) {
    return std::to_string(std::count(text.begin(), text.begin() + offset, '\n') + 1) + ": ";
  };
  std::string out;
  for (const LintFinding& f : s.findings) {
    out += line(f.offset) + (f.error ? "error: " : "warning: ") + f.message + "\n";
  }
  for (const LintFileUse& f : s.files) {
    out += line(f.offset) + std::string(lint_file_kind_name(f.kind)) + " " + f.name + "\n";
  }
  return out;
}

const std::string kHead = "*define\nnumalias n,1\nstralias pic,\"a.bmp\"\ngame\n*start\n";

struct Case {
  const char* game;  // after kHead (line 6 on) unless it has a define block
  const char* want;
};

TEST(LintScan, ReportsWhatWouldStopTheGame) {
  const Case cases[] = {
      // Lists over lines, aliases, effect parts and frames read as the game reads them.
      {"select \"a\",*start,\n  \"b\",*start\nbg pic,10,500\nprint %n\nbw2a \"x\"\n"
       "lsp 0,\"out/X.bmp\",0,0\nend\n",
       "8: picture a.bmp\n10: picture x_b.bmp\n10: picture x_w.bmp\n"},
      {"effect 2,1\nwindoweffect 15,100,\":a;m.bmp\"\nsetwindow "
       "1,2,3,4,5,6,7,8,9,0,1,\"w.bmp\",1,2\nend\n",
       "6: error: 'effect' may stand only in the define block\n7: picture m.bmp\n8: picture "
       "w.bmp\n"},
      {"windoweffect 10\nplay \"*3\"\nplay \"m.mid\"\nmousecursor off\nld x,\"a.bmp\",1\nend\n",
       "6: error: too few arguments for 'windoweffect'\n10: error: argument 1 of 'ld' must be l, "
       "c or r\n8: sound m.mid\n"},
      // Only a jump or the statement before a label reaches it; if makes its line conditional.
      {"if %0==1 goto *a\n*a\ngoto *b\n*b\nend\n*c\nreturn\n*d\nif fchk \"x\" && %0<>1 "
       "end\n*e\nend\n",
       "11: warning: label *c is never reached\n13: warning: label *d is never reached\n"},
      {"goto $1\n*c\nend\n", ""},
      // A whole scenario: what the define block refuses.
      {"*define\nrmenu \"a\",reset,\"b\",save\nif fchk \"x\" goto *start\nselnum %0,\"a\"\n本文\n"
       "game\n*start\nsystemcall load\ntrap off\ninputstr $0,\"p\",10,1\nend\n",
       "3: error: fchk cannot stand in the define block\n4: error: 'selnum' cannot stand in the "
       "define block\n5: error: text cannot stand in the define block\n"},
      {"*define\ngosub *setup\ngame\n*start\nend\n*setup\nnumalias k,1\nreturn\n", ""},
      {"mov $1,later\nwait\nfoo 1\n*start\n",
       "6: error: unknown string alias 'later'\n7: error: "
       "too few arguments for 'wait'\n8: error: unknown command 'foo'\n9: error: label *start is "
       "defined twice\n"},
  };
  for (const Case& c : cases) {
    const std::string game = c.game;
    EXPECT_EQ(scan(game.starts_with("*define") ? game : kHead + game), c.want) << c.game;
  }
}

TEST(LintScan, KnowsTheShapeOfEveryCommand) {
  size_t count = 0;
  const CommandEntry* all = all_commands(count);
  for (size_t i = 0; i < count; ++i) EXPECT_TRUE(argument_shape(all[i].name)) << all[i].name;
}

}  // namespace
}  // namespace vellumite
