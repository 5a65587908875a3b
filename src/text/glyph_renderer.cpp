#include "text/glyph_renderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <list>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/sjis.h"
#include "text/font_match.h"

namespace vellumite {

bool reduce_3x(std::span<const std::uint8_t> large, int width, int height,
               std::span<std::uint8_t> out) {
  if (width < 1 || height < 1) return false;
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t h = static_cast<std::size_t>(height);
  const std::size_t stride = 3 * w;
  if (large.size() < 9 * w * h || out.size() < w * h) return false;
  for (std::size_t r = 0; r < h; ++r) {
    const std::uint8_t* top = large.data() + 3 * r * stride;
    const std::uint8_t* mid = top + stride;
    const std::uint8_t* bottom = mid + stride;
    std::uint8_t* dst = out.data() + r * w;
    for (std::size_t c = 0, x = 0; c < w; ++c, x += 3) {
      unsigned sum = top[x] + 2u * top[x + 1] + top[x + 2];
      sum += 2u * mid[x] + 4u * mid[x + 1] + 2u * mid[x + 2];
      sum += bottom[x] + 2u * bottom[x + 1] + bottom[x + 2];
      dst[c] = static_cast<std::uint8_t>(sum >> 4);
    }
  }
  return true;
}

namespace {

constexpr int kNoFace = -1;
constexpr int kUnresolved = -2;

struct Typeface {
  FT_Face face = nullptr;
  bool synthetic_bold = false;
  std::string family;
  long ascent_units = 0;      // top of the font's cell above the baseline
  long cell_units = 0;        // ascent plus descent
  long full_width_units = 0;  // advance of a full-width character
  int width = 0;              // the cell the face is currently sized for
  int height = 0;
  int ascent = 0;  // baseline, in pixels below the top of the large picture
};

// What code page 932 makes of two bytes: one double-byte character or two
// single-byte ones.
struct Decoded {
  std::array<char32_t, 2> chars{};
  int count = 0;
};

Decoded decode_pair(std::uint16_t code) {
  const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  const std::string utf8 = to_utf8(std::string_view(bytes, 2));
  Decoded decoded;
  for (std::size_t i = 0; i < utf8.size() && decoded.count < 2;) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    char32_t c = length == 1   ? lead
                 : length == 2 ? lead & 0x1F
                 : length == 3 ? lead & 0x0F
                               : lead & 0x07;
    for (int k = 1; k < length && i + k < utf8.size(); ++k) {
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    decoded.chars[decoded.count++] = c;
    i += length;
  }
  return decoded;
}

// Draws a rendered glyph into the large picture at (x0, y0), keeping the
// brighter of the old and the new value.
void draw_max(const FT_Bitmap& bitmap, int x0, int y0, std::uint8_t* dst, int dst_width,
              int dst_height) {
  const int rows = static_cast<int>(bitmap.rows);
  const int columns = static_cast<int>(bitmap.width);
  const int first = std::max(0, -x0);
  const int last = std::min(columns, dst_width - x0);
  if (first >= last) return;
  const int pitch = bitmap.pitch;
  for (int r = 0; r < rows; ++r) {
    const int y = y0 + r;
    if (y < 0 || y >= dst_height) continue;
    const unsigned char* src =
        pitch >= 0 ? bitmap.buffer + r * pitch : bitmap.buffer + (rows - 1 - r) * -pitch;
    std::uint8_t* out = dst + static_cast<std::size_t>(y) * dst_width;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
      for (int c = first; c < last; ++c) {
        if ((src[c >> 3] >> (7 - (c & 7))) & 1) out[x0 + c] = 255;
      }
    } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.num_grays > 1) {
      const int top = bitmap.num_grays - 1;
      for (int c = first; c < last; ++c) {
        const auto v = static_cast<std::uint8_t>(src[c] * 255 / top);
        out[x0 + c] = std::max(out[x0 + c], v);
      }
    }
  }
}

struct CacheEntry {
  std::uint64_t key = 0;
  std::vector<std::uint8_t> coverage;
};

}  // namespace

struct GlyphRenderer::Impl {
  FT_Library library = nullptr;
  std::vector<Typeface> typefaces;
  std::unordered_map<std::string, int> typeface_by_file;
  // Face name -> typeface for regular and bold (an index, kNoFace or
  // kUnresolved). Element references survive rehashing, so the last one used
  // is kept to skip hashing the name on every character.
  std::unordered_map<std::string, std::array<int, 2>> faces_by_name;
  std::string last_name;
  std::array<int, 2>* last_faces = nullptr;
  std::unordered_map<std::uint16_t, Decoded> decoded;

  std::list<CacheEntry> lru;  // most recently used first
  std::unordered_map<std::uint64_t, std::list<CacheEntry>::iterator> cache;
  std::size_t max_glyphs = 1;
  std::size_t max_bytes = 0;
  std::size_t bytes = 0;

  std::vector<std::uint8_t> large;  // the character at three times its size

  ~Impl() {
    for (Typeface& typeface : typefaces) FT_Done_Face(typeface.face);
    if (library) FT_Done_FreeType(library);
  }

  int typeface_for(std::string_view name, bool bold) {
    if (!last_faces || name != last_name) {
      auto it = faces_by_name.find(std::string(name));
      if (it == faces_by_name.end()) {
        it = faces_by_name.emplace(std::string(name), std::array{kUnresolved, kUnresolved}).first;
      }
      last_name = name;
      last_faces = &it->second;
    }
    int& slot = (*last_faces)[bold ? 1 : 0];
    if (slot == kUnresolved) slot = open(match_japanese_font(name, bold));
    return slot;
  }

  int open(const FontFile& file) {
    if (file.path.empty() || !library) return kNoFace;
    std::string key = file.path + '\n' + std::to_string(file.index) + '\n' +
                      (file.synthetic_bold ? "synthetic bold" : "");
    auto found = typeface_by_file.find(key);
    if (found != typeface_by_file.end()) return found->second;

    int id = kNoFace;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.path.c_str(), file.index, &face) == 0) {
      Typeface typeface;
      typeface.face = face;
      typeface.synthetic_bold = file.synthetic_bold;
      typeface.family = file.family;
      measure(typeface);
      id = static_cast<int>(typefaces.size());
      typefaces.push_back(std::move(typeface));
    }
    typeface_by_file.emplace(std::move(key), id);
    return id;
  }

  // The cell as the Windows font mapper sees it: the OS/2 table's Windows
  // ascent and descent, falling back to the horizontal header.
  static void measure(Typeface& typeface) {
    FT_Face face = typeface.face;
    const long em = face->units_per_EM > 0 ? face->units_per_EM : 1000;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
      typeface.ascent_units = os2->usWinAscent;
      typeface.cell_units = os2->usWinAscent + os2->usWinDescent;
    } else if (face->ascender - face->descender > 0) {
      typeface.ascent_units = face->ascender;
      typeface.cell_units = face->ascender - face->descender;
    } else {
      typeface.ascent_units = em * 7 / 8;
      typeface.cell_units = em;
    }
    typeface.full_width_units = em;
    for (char32_t c : {U'\u3000', U'\u3042'}) {
      const FT_UInt index = FT_Get_Char_Index(face, c);
      if (index && FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE) == 0 &&
          face->glyph->advance.x > 0) {
        typeface.full_width_units = face->glyph->advance.x;
        break;
      }
    }
  }

  bool set_size(Typeface& typeface, int width, int height) {
    if (typeface.width == width && typeface.height == height) return true;
    FT_Face face = typeface.face;
    const long long em = face->units_per_EM > 0 ? face->units_per_EM : 1000;
    const long long char_width = 3LL * width * em * 64 / typeface.full_width_units;
    const long long char_height = 3LL * height * em * 64 / typeface.cell_units;
    typeface.width = typeface.height = 0;
    if (FT_Set_Char_Size(face, std::max(1LL, char_width), std::max(1LL, char_height), 72, 72)) {
      return false;
    }
    typeface.ascent =
        static_cast<int>((FT_MulFix(typeface.ascent_units, face->size->metrics.y_scale) + 32) >> 6);
    typeface.width = width;
    typeface.height = height;
    return true;
  }

  const Decoded& decode(std::uint16_t code) {
    auto it = decoded.find(code);
    if (it == decoded.end()) it = decoded.emplace(code, decode_pair(code)).first;
    return it->second;
  }

  // Draws the character white on black into `large`, 3 * width x 3 * height.
  void draw(int id, int width, int height, bool bold, std::uint16_t code) {
    const int large_width = 3 * width;
    const int large_height = 3 * height;
    large.assign(static_cast<std::size_t>(large_width) * large_height, 0);
    if (id < 0) return;
    Typeface& typeface = typefaces[static_cast<std::size_t>(id)];
    if (!set_size(typeface, width, height)) return;
    FT_Face face = typeface.face;
    FT_Pos pen = 0;
    const Decoded& chars = decode(code);
    for (int i = 0; i < chars.count; ++i) {
      if (chars.chars[i] < 0x20) continue;  // control bytes draw nothing
      const FT_UInt index = FT_Get_Char_Index(face, chars.chars[i]);
      if (FT_Load_Glyph(face, index,
                        FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO)) {
        continue;
      }
      FT_GlyphSlot slot = face->glyph;
      if (bold && typeface.synthetic_bold) FT_GlyphSlot_Embolden(slot);
      if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO)) continue;
      const int x = static_cast<int>((pen + 32) >> 6) + slot->bitmap_left;
      const int y = typeface.ascent - slot->bitmap_top;
      draw_max(slot->bitmap, x, y, large.data(), large_width, large_height);
      if (bold) draw_max(slot->bitmap, x + 1, y, large.data(), large_width, large_height);
      pen += slot->advance.x;
    }
  }

  void trim() {
    while ((lru.size() > max_glyphs || bytes > max_bytes) && lru.size() > 1) {
      bytes -= lru.back().coverage.size();
      cache.erase(lru.back().key);
      lru.pop_back();
    }
  }
};

GlyphRenderer::GlyphRenderer(std::size_t cache_glyphs, std::size_t cache_bytes)
    : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->library)) impl_->library = nullptr;
  impl_->max_glyphs = std::max<std::size_t>(1, cache_glyphs);
  impl_->max_bytes = cache_bytes;
}

GlyphRenderer::~GlyphRenderer() = default;

std::span<const std::uint8_t> GlyphRenderer::render(std::string_view face_sjis, int width,
                                                    int height, bool bold, std::uint16_t code) {
  if (width < 1 || height < 1 || width > kMaxCellWidth || height > kMaxCellHeight) return {};
  Impl& impl = *impl_;
  const int id = impl.typeface_for(face_sjis, bold);
  // Typeface (+1, so that "no font" is 0), cell size, bold and the two bytes.
  const std::uint64_t key = (static_cast<std::uint64_t>(id + 1) << 48) |
                            (static_cast<std::uint64_t>(width) << 38) |
                            (static_cast<std::uint64_t>(height) << 28) |
                            (static_cast<std::uint64_t>(bold ? 1 : 0) << 16) | code;
  auto hit = impl.cache.find(key);
  if (hit != impl.cache.end()) {
    impl.lru.splice(impl.lru.begin(), impl.lru, hit->second);
    return impl.lru.front().coverage;
  }

  impl.draw(id, width, height, bold, code);
  std::vector<std::uint8_t> coverage(static_cast<std::size_t>(width) * height);
  reduce_3x(impl.large, width, height, coverage);
  impl.bytes += coverage.size();
  impl.lru.push_front({key, std::move(coverage)});
  impl.cache.emplace(key, impl.lru.begin());
  impl.trim();
  return impl.lru.front().coverage;
}

std::string GlyphRenderer::family_of(std::string_view face_sjis, bool bold) {
  const int id = impl_->typeface_for(face_sjis, bold);
  return id < 0 ? std::string() : impl_->typefaces[static_cast<std::size_t>(id)].family;
}

std::size_t GlyphRenderer::cached_glyphs() const { return impl_->lru.size(); }

void GlyphRenderer::clear_cache() {
  impl_->lru.clear();
  impl_->cache.clear();
  impl_->bytes = 0;
}

}  // namespace vellumite
