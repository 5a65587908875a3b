// Which installed font draws the text. Games name Windows faces
// ("ＭＳ ゴシック") that are rarely installed here, so a face name is looked
// up with fontconfig among the fonts that cover Japanese, preferring
// fixed-pitch ones, and falls back to the best of those when the name itself
// is not installed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumite {

// An installed font file chosen for a face name.
struct FontFile {
  std::string path;             // empty when no scalable font is installed at all
  int index = 0;                // face index inside the file (collections)
  std::string family;           // UTF-8 family name of the chosen font
  bool synthetic_bold = false;  // bold was asked for but the family has no heavy face
};

// Chooses the font for `face_sjis` (a Shift-JIS face name, as the scenario or
// the font menu gives it). Among the scalable fonts that cover Japanese, in
// fontconfig's order for that name: a font whose family is the name, else
// the first fixed-pitch (mono or dual width) one, else the first one; when
// nothing covers Japanese, the first scalable font. With `bold`, the heavy
// face of the same family, or the regular face marked for synthetic
// emboldening when the family has none. Not cached: a fontconfig sort of
// every installed font, so callers keep the answer.
FontFile match_japanese_font(std::string_view face_sjis, bool bold);

// A family name for the font menu, in UTF-8 and as the Shift-JIS the engine
// stores. The Japanese name is used when the family has one that Shift-JIS
// can hold.
struct FontFamilyName {
  std::string utf8;
  std::string sjis;
};

// The installed scalable fixed-pitch (mono or dual width) families that cover
// Japanese, sorted by UTF-8 name and without duplicates, so the menu is the
// same on every start.
std::vector<FontFamilyName> list_japanese_fixed_fonts();

}  // namespace vellumite
