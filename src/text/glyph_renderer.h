// Turns one character of the text window into coverage bytes. The character
// is drawn white on black at three times the cell size and each 3x3 block is
// reduced to one byte with the 1 2 1 / 2 4 2 / 1 2 1 kernel, which smooths
// the edges of the bilevel drawing without relying on the font rasteriser's
// own anti-aliasing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace vellumite {

// Reduces `large`, a (3 * width) x (3 * height) picture of 8-bit values
// (row-major, white on black), to width x height coverage bytes in `out`:
// each output byte is the 3x3 block below it weighted 1 2 1 / 2 4 2 / 1 2 1,
// shifted right by 4. Returns false, and writes nothing, when a size is below
// 1 or a buffer is too small.
bool reduce_3x(std::span<const std::uint8_t> large, int width, int height,
               std::span<std::uint8_t> out);

// Renders and caches character coverage. A cell is the text window's font
// width x font height; the character is scaled so that the font's cell height
// (ascent plus descent) is three times the cell height and a full-width
// character is three times the cell width across, with the baseline at the
// ascent. Bold uses the family's heavy face (or an emboldened outline) and
// draws the character a second time one pixel further right.
//
// Not thread-safe; the text window owns one.
class GlyphRenderer {
 public:
  static constexpr int kMaxCellWidth = 640;
  static constexpr int kMaxCellHeight = 480;
  static constexpr std::size_t kDefaultCacheGlyphs = 4096;
  static constexpr std::size_t kDefaultCacheBytes = std::size_t{8} << 20;

  // The cache keeps at most `cache_glyphs` characters and `cache_bytes` bytes
  // of coverage (but always the last character), dropping the least recently
  // used first.
  explicit GlyphRenderer(std::size_t cache_glyphs = kDefaultCacheGlyphs,
                         std::size_t cache_bytes = kDefaultCacheBytes);
  ~GlyphRenderer();
  GlyphRenderer(const GlyphRenderer&) = delete;
  GlyphRenderer& operator=(const GlyphRenderer&) = delete;

  // Coverage of the character whose Shift-JIS bytes are `code >> 8` and
  // `code & 0xFF`, drawn with the font for `face_sjis` (see
  // match_japanese_font) in a width x height cell: width * height bytes, row
  // by row, 0 = no text, 255 = full. Two single-byte characters are drawn side
  // by side, as code page 932 decodes them; a character the font lacks gets
  // whatever the font has for a missing glyph. Empty when width or height is
  // below 1 or above the maximum. The bytes stay valid until the next call of
  // render() or clear_cache().
  std::span<const std::uint8_t> render(std::string_view face_sjis, int width, int height, bool bold,
                                       std::uint16_t code);

  // The UTF-8 family that `face_sjis` is drawn with; empty when no scalable
  // font is installed.
  std::string family_of(std::string_view face_sjis, bool bold);

  std::size_t cached_glyphs() const;
  void clear_cache();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vellumite
