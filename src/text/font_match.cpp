#include "text/font_match.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "base/sjis.h"

namespace vellumite {
namespace {

const FcChar8* fc_str(const char* s) { return reinterpret_cast<const FcChar8*>(s); }
const char* c_str(const FcChar8* s) { return reinterpret_cast<const char*>(s); }

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct ObjectSetDeleter {
  void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;

// Loads the configuration once; it is handed back at exit, since fontconfig
// keeps parts of it where a leak checker cannot see them.
bool init_fontconfig() {
  static const bool ready = [] {
    if (!FcInit()) return false;
    std::atexit(FcFini);
    return true;
  }();
  return ready;
}

bool covers_japanese(FcPattern* font) {
  FcLangSet* langs = nullptr;
  if (FcPatternGetLangSet(font, FC_LANG, 0, &langs) != FcResultMatch) return false;
  return FcLangSetHasLang(langs, fc_str("ja")) != FcLangDifferentLang;
}

bool is_scalable(FcPattern* font) {
  FcBool outline = FcFalse;
  return FcPatternGetBool(font, FC_OUTLINE, 0, &outline) == FcResultMatch && outline;
}

bool is_fixed_pitch(FcPattern* font) {
  int spacing = FC_PROPORTIONAL;
  if (FcPatternGetInteger(font, FC_SPACING, 0, &spacing) != FcResultMatch) return false;
  return spacing == FC_MONO || spacing == FC_DUAL || spacing == FC_CHARCELL;
}

// Family names compare as fontconfig compares them: ignoring case and spaces.
std::string without_spaces(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c != ' ') out.push_back(c);
  }
  return out;
}

bool has_family(FcPattern* font, const std::string& name) {
  const std::string wanted = without_spaces(name);
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
    if (FcStrCmpIgnoreCase(fc_str(without_spaces(c_str(family)).c_str()), fc_str(wanted.c_str())) ==
        0) {
      return true;
    }
  }
  return false;
}

// The family name a player sees: the Japanese one when the font has one that
// Shift-JIS can hold, else the first.
std::string display_family(FcPattern* font) {
  FcChar8* family = nullptr;
  FcChar8* lang = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
    if (FcPatternGetString(font, FC_FAMILYLANG, i, &lang) != FcResultMatch) continue;
    std::string utf8 = c_str(family);
    if (std::string_view(c_str(lang)) == "ja" && to_utf8(to_sjis(utf8)) == utf8) return utf8;
  }
  if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch) return {};
  return c_str(family);
}

// Every installed font in fontconfig's order of preference for a face of
// this family (empty: no family), Japanese and the given weight.
FontSetPtr sorted_fonts(const std::string& family, int weight) {
  if (!init_fontconfig()) return nullptr;
  PatternPtr pattern(FcPatternCreate());
  if (!pattern) return nullptr;
  if (!family.empty()) FcPatternAddString(pattern.get(), FC_FAMILY, fc_str(family.c_str()));
  FcPatternAddString(pattern.get(), FC_LANG, fc_str("ja"));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, weight);
  FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  return FontSetPtr(FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result));
}

FontFile file_of(FcPattern* font) {
  FontFile file;
  FcChar8* path = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &path) != FcResultMatch) return file;
  file.path = c_str(path);
  if (FcPatternGetInteger(font, FC_INDEX, 0, &file.index) != FcResultMatch) file.index = 0;
  file.family = display_family(font);
  return file;
}

// The family's heavy face, or its regular face to be emboldened.
FontFile bold_face_of(const FontFile& regular, const std::string& family) {
  FontSetPtr fonts = sorted_fonts(family, FC_WEIGHT_BOLD);
  if (fonts) {
    for (int i = 0; i < fonts->nfont; ++i) {
      FcPattern* font = fonts->fonts[i];
      if (!is_scalable(font) || !has_family(font, family)) continue;
      int weight = FC_WEIGHT_REGULAR;
      int slant = FC_SLANT_ROMAN;
      FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
      FcPatternGetInteger(font, FC_SLANT, 0, &slant);
      if (weight < FC_WEIGHT_DEMIBOLD || slant != FC_SLANT_ROMAN) continue;
      FontFile bold = file_of(font);
      bold.family = regular.family;
      return bold;
    }
  }
  FontFile synthetic = regular;
  synthetic.synthetic_bold = true;
  return synthetic;
}

}  // namespace

FontFile match_japanese_font(std::string_view face_sjis, bool bold) {
  std::string name = to_utf8(face_sjis);
  FontSetPtr fonts = sorted_fonts(name, FC_WEIGHT_REGULAR);
  if (!fonts) return {};

  FcPattern* named = nullptr;
  FcPattern* fixed = nullptr;
  FcPattern* japanese = nullptr;
  FcPattern* any = nullptr;
  for (int i = 0; i < fonts->nfont && !named; ++i) {
    FcPattern* font = fonts->fonts[i];
    if (!is_scalable(font)) continue;
    if (!any) any = font;
    if (!covers_japanese(font)) continue;
    if (!japanese) japanese = font;
    if (!fixed && is_fixed_pitch(font)) fixed = font;
    if (!name.empty() && has_family(font, name)) named = font;
  }
  FcPattern* chosen = named ? named : fixed ? fixed : japanese ? japanese : any;
  if (!chosen) return {};

  FontFile regular = file_of(chosen);
  if (!bold) return regular;
  return bold_face_of(regular, regular.family);
}

std::vector<FontFamilyName> list_japanese_fixed_fonts() {
  std::vector<FontFamilyName> names;
  if (!init_fontconfig()) return names;
  PatternPtr pattern(FcPatternCreate());
  std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
      FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_SPACING, FC_OUTLINE, FC_LANG, nullptr));
  if (!pattern || !objects) return names;
  FcPatternAddString(pattern.get(), FC_LANG, fc_str("ja"));
  FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
  FontSetPtr fonts(FcFontList(nullptr, pattern.get(), objects.get()));
  if (!fonts) return names;

  for (int i = 0; i < fonts->nfont; ++i) {
    FcPattern* font = fonts->fonts[i];
    if (!is_scalable(font) || !is_fixed_pitch(font) || !covers_japanese(font)) continue;
    std::string chosen = display_family(font);
    // Names starting with '@' are the vertical-writing twins of a face.
    if (chosen.empty() || chosen.front() == '@') continue;
    names.push_back({chosen, to_sjis(chosen)});
  }
  std::sort(names.begin(), names.end(),
            [](const FontFamilyName& a, const FontFamilyName& b) { return a.utf8 < b.utf8; });
  names.erase(std::unique(names.begin(), names.end(),
                          [](const FontFamilyName& a, const FontFamilyName& b) {
                            return a.utf8 == b.utf8;
                          }),
              names.end());
  return names;
}

}  // namespace vellumite
