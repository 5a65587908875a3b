#include "script/lint_table.h"

#include <algorithm>
#include <array>

namespace vellumite {
namespace {

struct Shape {
  std::string_view word;
  std::string_view shape;
};

// Sorted by word. The effect part of a picture command is "n[np".
// clang-format off
constexpr auto kShapes = std::to_array<Shape>({
    {"abssetcursor", "npnn"}, {"add", "xy"}, {"arc", "s"}, {"autoclick", "n"},
    {"automode_time", "n"}, {"avi", "fn"}, {"bar", "nnnnnnnc"}, {"barclear", ""},
    {"bg", "Bn[np"}, {"bgalia", "nnnn"}, {"br", ""}, {"btn", "nnnnnnn"}, {"btndef", "p"},
    {"btnwait", "v"}, {"btnwait2", "v"}, {"bw2a", "b"}, {"caption", "s"},
    {"cdfadeout", "n"}, {"cl", "An[np"}, {"click", ""}, {"clickpos", "vv"},
    {"clickstr", "sn"}, {"clickvoice", "aa"}, {"cmp", "vss"}, {"csp", "n"},
    {"dec", "v"}, {"defaultfont", "s"}, {"defaultspeed", "nnn"}, {"definereset", ""},
    {"delay", "n"}, {"div", "vn"}, {"effect", "nE"}, {"effectblank", "n"}, {"end", ""},
    {"erasetextwindow", "n"}, {"filelog", ""}, {"game", ""}, {"getini", "Vsss"},
    {"getreg", "Vss"}, {"gettimer", "v"}, {"globalon", ""}, {"gosub", "l"},
    {"goto", "l"}, {"humanz", "n"}, {"if", "?"}, {"inc", "v"}, {"inputnum", "vs[nnnn"},
    {"inputstr", "Vsnn[nnnn"}, {"intlimit", "nnn"}, {"killmenu", "n"}, {"ld", "Lpn[np"},
    {"len", "vs"}, {"linkcolor", "nnn"}, {"locate", "nn"}, {"lookbackbutton", "pppp"},
    {"lookbackcolor", "c"}, {"lookbackflush", ""}, {"lookbackvoice", "a"},
    {"lsp", "npnn[n"}, {"lsph", "npnn[n"}, {"menu_click_def", ""},
    {"menu_click_page", ""}, {"menu_full", ""}, {"menu_window", ""},
    {"menuselectcolor", "ccc"}, {"menuselectvoice", "aaaaaaa"},
    {"menusetwindow", "nnnnnnk"}, {"mesbox", "ss"}, {"mod", "vn"}, {"mode_ext", ""},
    {"mode_saya", ""}, {"monocro", "o"}, {"mousecursor", "u"}, {"mov", "xy"},
    {"mov5", "vnnnnn"}, {"mp3", "a"}, {"mp3loop", "a"}, {"msp", "nnn[n"}, {"mul", "vn"},
    {"nega", "n"}, {"notif", "?"}, {"numalias", "tn"}, {"play", "m"}, {"playonce", "m"},
    {"playstop", ""}, {"print", "n[np"}, {"prnum", "nnnnnnc"}, {"prnumclear", ""},
    {"puttext", "s"}, {"quakex", "nn"}, {"quakey", "nn"}, {"reset", ""},
    {"resettimer", ""}, {"return", ""}, {"rlookback", ""}, {"rmenu", "R"},
    {"rmode", "n"}, {"rnd", "vn"}, {"rnd2", "vnn"}, {"roff", ""}, {"savename", "sss"},
    {"savenumber", "n"}, {"select", "*sl"}, {"selectcolor", "cc"},
    {"selectvoice", "aaa"}, {"selgosub", "*sl"}, {"selnum", "v*s"}, {"setcursor", "npnn"},
    {"setwindow", "nnnnnnnnnnnG"}, {"skip", "n"}, {"soundpressplgin", "s"},
    {"spi", "s"}, {"stop", ""}, {"stralias", "ts"}, {"sub", "vn"}, {"systemcall", "Y"},
    {"tal", "Lnn[np"}, {"tbtnwait", "v"}, {"textclear", ""}, {"textmode", "n"},
    {"textoff", ""}, {"texton", ""}, {"textspeed", "n"}, {"transmode", "W"},
    {"trap", "T"}, {"underline", "n"}, {"versionstr", "ss"}, {"vsp", "nn"},
    {"wait", "n"}, {"waittimer", "n"}, {"wave", "a"}, {"waveloop", "a"},
    {"wavestop", ""}, {"windoweffect", "E"},
});
// clang-format on

constexpr bool sorted() {
  for (size_t i = 1; i < kShapes.size(); ++i) {
    if (!(kShapes[i - 1].word < kShapes[i].word)) return false;
  }
  return true;
}
static_assert(sorted(), "the shapes are looked up by binary search");

}  // namespace

std::optional<std::string_view> argument_shape(std::string_view word) {
  auto it = std::lower_bound(kShapes.begin(), kShapes.end(), word,
                             [](const Shape& s, std::string_view w) { return s.word < w; });
  if (it == kShapes.end() || it->word != word) return std::nullopt;
  return it->shape;
}

}  // namespace vellumite
