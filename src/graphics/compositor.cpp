// draw_picture: one cell of a picture composed onto a 24-bit picture of the
// screen's size. The work is split into a clipping front end and inner loops
// specialised per source depth, transparency mode and opacity, so that the
// loops do nothing per pixel but the lookups their mode needs.
#include "graphics/compositor.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/platform.h"

namespace vellumite {
namespace {

enum class Kind { Copy, Key, Mask };

// A clipped block and everything its inner loop needs. Row pointers address
// the block's top row; `*_step` moves one picture row down (rows are stored
// bottom-up, so the steps are negative strides).
struct Block {
  const uint8_t* src = nullptr;
  ptrdiff_t src_step = 0;
  uint8_t* dst = nullptr;
  ptrdiff_t dst_step = 0;
  int32_t w = 0;
  int32_t h = 0;
  size_t mask_offset = 0;            // bytes from a colour pixel to its mask pixel
  const uint8_t* palette = nullptr;  // 8-bit: 256 entries of blue, green, red, reserved
  int32_t key_blue = 0;              // 24-bit key
  int32_t key_green = 0;
  int32_t key_red = 0;
  int32_t key_index = 0;  // 8-bit key
  int32_t alpha = 255;    // constant opacity of the blending variants
};

// Copies an opaque 24-bit block row by row.
void copy_rows(const Block& b) {
  const uint8_t* s = b.src;
  uint8_t* d = b.dst;
  const size_t bytes = static_cast<size_t>(b.w) * 3;
  for (int32_t y = 0; y < b.h; ++y, s += b.src_step, d += b.dst_step) std::memcpy(d, s, bytes);
}

// Every other combination. kPaletted: 8-bit source; kBlend: a constant
// opacity is applied.
template <bool kPaletted, Kind kKind, bool kBlend>
void compose_rows(const Block& b) {
  const BlendTable& t = blend_table();
  // T[s][A] = T[A][s]: with a constant opacity the two rows of the table
  // that every pixel needs are fixed for the whole block.
  const uint8_t* const source_weight = t[static_cast<size_t>(b.alpha)].data();
  const uint8_t* const dest_weight = t[static_cast<size_t>(255 - b.alpha)].data();
  const uint8_t* srow = b.src;
  uint8_t* drow = b.dst;
  for (int32_t y = 0; y < b.h; ++y, srow += b.src_step, drow += b.dst_step) {
    uint8_t* d = drow;
    for (int32_t i = 0; i < b.w; ++i, d += 3) {
      const uint8_t* c;
      if constexpr (kPaletted) {
        const uint8_t index = srow[i];
        if constexpr (kKind == Kind::Key) {
          if (index == b.key_index) continue;
        }
        c = b.palette + static_cast<size_t>(index) * 4;
      } else {
        c = srow + static_cast<size_t>(i) * 3;
        if constexpr (kKind == Kind::Key) {
          if (c[0] == b.key_blue && c[1] == b.key_green && c[2] == b.key_red) continue;
        }
      }
      if constexpr (kKind == Kind::Mask) {
        // Black in the mask is opaque, white transparent.
        const int32_t m = c[b.mask_offset];
        int32_t o = 255 - m;
        if constexpr (kBlend) o = source_weight[o];
        if (o == 0) continue;
        if (o == 255) {
          d[0] = c[0];
          d[1] = c[1];
          d[2] = c[2];
          continue;
        }
        const uint8_t* sw = t[static_cast<size_t>(o)].data();
        const uint8_t* dw = t[static_cast<size_t>(255 - o)].data();
        d[0] = static_cast<uint8_t>(sw[c[0]] + dw[d[0]]);
        d[1] = static_cast<uint8_t>(sw[c[1]] + dw[d[1]]);
        d[2] = static_cast<uint8_t>(sw[c[2]] + dw[d[2]]);
      } else if constexpr (kBlend) {
        d[0] = static_cast<uint8_t>(source_weight[c[0]] + dest_weight[d[0]]);
        d[1] = static_cast<uint8_t>(source_weight[c[1]] + dest_weight[d[1]]);
        d[2] = static_cast<uint8_t>(source_weight[c[2]] + dest_weight[d[2]]);
      } else {
        d[0] = c[0];
        d[1] = c[1];
        d[2] = c[2];
      }
    }
  }
}

template <bool kPaletted>
void dispatch(const Block& b, Kind kind, bool blend) {
  switch (kind) {
    case Kind::Copy:
      if (blend) return compose_rows<kPaletted, Kind::Copy, true>(b);
      if constexpr (!kPaletted) return copy_rows(b);
      return compose_rows<kPaletted, Kind::Copy, false>(b);
    case Kind::Key:
      if (blend) return compose_rows<kPaletted, Kind::Key, true>(b);
      return compose_rows<kPaletted, Kind::Key, false>(b);
    case Kind::Mask:
      if constexpr (!kPaletted) {
        if (blend) return compose_rows<false, Kind::Mask, true>(b);
        return compose_rows<false, Kind::Mask, false>(b);
      }
      return;  // 8-bit pictures carry no mask: nothing is drawn
  }
}

}  // namespace

void draw_picture(const Picture& source, Picture& destination, const ClipRect* clip, int32_t x,
                  int32_t y) {
  const Surface& from = source.surface;
  Surface& to = destination.surface;
  if (from.empty() || to.empty() || to.bit_count() != 24) return;
  const bool paletted =
      from.bit_count() == 8 && from.palette_entries == 256 && from.color_table.size() == 256;
  if (!paletted && !(from.bit_count() == 24 && from.palette_entries == 0)) return;
  if (paletted && source.trans_mode == kTransAlpha) return;

  // The clip rectangle, never beyond the screen nor the destination.
  int64_t left = 0, top = 0, right = to.width - 1, bottom = to.height - 1;
  if (clip != nullptr) {
    left = std::max<int64_t>(clip->left, 0);
    top = std::max<int64_t>(clip->top, 0);
    right = std::min<int64_t>(clip->right, right);
    bottom = std::min<int64_t>(clip->bottom, bottom);
  }
  right = std::min<int64_t>(right, kWindowWidth - 1);
  bottom = std::min<int64_t>(bottom, kWindowHeight - 1);

  int64_t w = cell_width(source), h = from.height;
  int64_t sx = cell_left(source, source.cell), sy = 0;
  int64_t dx = x, dy = y;
  if (dx < left) {
    sx += left - dx;
    w -= left - dx;
    dx = left;
  }
  if (dy < top) {
    sy += top - dy;
    h -= top - dy;
    dy = top;
  }
  if (dx + w - 1 > right) w = right - dx + 1;
  if (dy + h - 1 > bottom) h = bottom - dy + 1;
  if (w < 1 || h < 1) return;

  Block b;
  b.w = static_cast<int32_t>(w);
  b.h = static_cast<int32_t>(h);
  const size_t pixel_bytes = paletted ? 1 : 3;
  b.src = from.row(static_cast<int32_t>(sy)) + static_cast<size_t>(sx) * pixel_bytes;
  b.src_step = -static_cast<ptrdiff_t>(from.stride());
  b.dst = to.row(static_cast<int32_t>(dy)) + static_cast<size_t>(dx) * 3;
  b.dst_step = -static_cast<ptrdiff_t>(to.stride());
  if (paletted) b.palette = reinterpret_cast<const uint8_t*>(from.color_table.data());

  Kind kind = Kind::Copy;
  switch (source.trans_mode) {
    case kTransLeftup: {
      // The key is the top-left pixel of the whole image, whatever the cell.
      kind = Kind::Key;
      const uint8_t* corner = from.row(0);
      if (paletted) {
        b.key_index = corner[0];
      } else {
        b.key_blue = corner[0];
        b.key_green = corner[1];
        b.key_red = corner[2];
      }
      break;
    }
    case kTransKey:
      kind = Kind::Key;
      b.key_blue = source.key_blue;
      b.key_green = source.key_green;
      b.key_red = source.key_red;
      b.key_index = source.key_index;
      break;
    case kTransAlpha:
      kind = Kind::Mask;
      b.mask_offset = static_cast<size_t>(cell_width(source)) * 3;
      break;
    default: break;  // copy, and modes no tag gives, draw opaque
  }
  // Opacities outside 0..255 cannot index the tables; they are held there.
  const bool blend = source.alpha != -1;
  if (blend) b.alpha = std::clamp(source.alpha, 0, 255);

  if (paletted) {
    dispatch<true>(b, kind, blend);
  } else {
    dispatch<false>(b, kind, blend);
  }
}

}  // namespace vellumite
