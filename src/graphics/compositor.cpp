// draw_picture: one cell of a picture composed onto a 24-bit picture of the
// screen's size. A clipping front end, then, for 24-bit pictures, the runs of
// the picture's span map (opaque runs copied, partial runs blended by the
// pixel kernels, transparent ones skipped); 8-bit pictures go through their
// palette pixel by pixel.
#include "graphics/compositor.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "graphics/pixel_kernels.h"
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
  const uint8_t* palette = nullptr;  // 8-bit: 256 entries of blue, green, red, reserved
  int32_t key_index = 0;             // 8-bit key
  int32_t alpha = 255;               // constant opacity of the blending variants
};

// Every 8-bit combination (these pictures carry no mask). kBlend: a
// constant opacity is applied.
template <Kind kKind, bool kBlend>
void compose_paletted_rows(const Block& b) {
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
      const uint8_t index = srow[i];
      if constexpr (kKind == Kind::Key) {
        if (index == b.key_index) continue;
      }
      const uint8_t* c = b.palette + static_cast<size_t>(index) * 4;
      if constexpr (kBlend) {
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

void compose_paletted(const Block& b, Kind kind, bool blend) {
  switch (kind) {
    case Kind::Copy:
      if (blend) return compose_paletted_rows<Kind::Copy, true>(b);
      return compose_paletted_rows<Kind::Copy, false>(b);
    case Kind::Key:
      if (blend) return compose_paletted_rows<Kind::Key, true>(b);
      return compose_paletted_rows<Kind::Key, false>(b);
    case Kind::Mask: return;  // nothing is drawn
  }
}

// An opaque stretch of `pixels` pixels: copied, or mixed at the constant
// opacity.
void put_opaque(uint8_t* d, const uint8_t* s, size_t pixels, int32_t alpha) {
  if (alpha < 0) {
    std::memcpy(d, s, pixels * 3);
  } else {
    kernels::mix_constant(d, d, s, pixels * 3, alpha);
  }
}

// 24-bit copy mode: every pixel opaque.
void compose_copy(const Block& b, int32_t alpha) {
  const uint8_t* s = b.src;
  uint8_t* d = b.dst;
  for (int32_t y = 0; y < b.h; ++y, s += b.src_step, d += b.dst_step)
    put_opaque(d, s, static_cast<size_t>(b.w), alpha);
}

// The colour of pixel x of a row, as one number, to compare with a key.
uint32_t colour_at(const uint8_t* row, int32_t x) {
  const uint8_t* p = row + static_cast<size_t>(x) * 3;
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
}

// The key colour of a 24-bit picture in key or leftup mode.
uint32_t key_colour(const Picture& p) {
  if (p.trans_mode == kTransLeftup) return colour_at(p.surface.row(0), 0);
  if (p.trans_mode != kTransKey) return 0;
  return p.key_colour.rgb();
}

// Classifies every row of a 24-bit picture in alpha, key or leftup mode.
// Alpha mode: in each cell the colour half is classified by the first byte
// of its mask pixel (0 opaque, 255 transparent, anything else partial); the
// mask halves count as transparent. Key modes: the key colour is
// transparent, every other pixel opaque.
void build_spans(const Picture& p) {
  const Surface& s = p.surface;
  SpanMap& m = p.spans;
  m = SpanMap{};
  m.bits = s.bits.data();
  m.size = s.bits.size();
  m.width = s.width;
  m.trans_mode = p.trans_mode;
  m.cells = p.cells;
  m.key = key_colour(p);
  m.row_first.reserve(static_cast<size_t>(s.height) + 1);
  const bool alpha = p.trans_mode == kTransAlpha;
  const int32_t cell_step = s.width / std::max(p.cells, 1);
  const int32_t half = cell_width(p);
  // 0 transparent, 1 partial, 2 opaque.
  const auto kind_at = [&](const uint8_t* row, int32_t x) -> int {
    if (!alpha) return colour_at(row, x) == m.key ? 0 : 2;
    if (cell_step < 1 || half < 1) return 0;
    const int32_t in_cell = x % cell_step;
    if (in_cell >= half || x - in_cell + cell_step > s.width) return 0;
    const uint8_t mask = row[static_cast<size_t>(x + half) * 3];
    return mask == 255 ? 0 : mask == 0 ? 2 : 1;
  };
  for (int32_t y = 0; y < s.height; ++y) {
    m.row_first.push_back(static_cast<uint32_t>(m.runs.size()));
    const uint8_t* row = s.row(y);
    int32_t x = 0;
    while (x < s.width) {
      const int kind = kind_at(row, x);
      int32_t end = x + 1;
      while (end < s.width && kind_at(row, end) == kind) ++end;
      if (kind != 0) {
        SpanMap::Run run{};
        run.start = static_cast<uint32_t>(x);
        run.length = static_cast<uint32_t>(end - x);
        run.partial = kind == 1 ? 1 : 0;
        if (kind == 1) {
          run.weight_at = static_cast<uint32_t>(m.weights.size());
          for (int32_t c = x; c < end; ++c)
            m.weights.insert(m.weights.end(), 3,
                             static_cast<uint8_t>(255 - row[static_cast<size_t>(c + half) * 3]));
        }
        m.runs.push_back(run);
      }
      x = end;
    }
  }
  m.row_first.push_back(static_cast<uint32_t>(m.runs.size()));
}

const SpanMap& spans_of(const Picture& p) {
  const SpanMap& m = p.spans;
  const Surface& s = p.surface;
  if (m.bits != s.bits.data() || m.size != s.bits.size() || m.width != s.width ||
      m.trans_mode != p.trans_mode || m.cells != p.cells || m.key != key_colour(p)) {
    build_spans(p);
  }
  return m;
}

// A 24-bit picture in alpha, key or leftup mode, run by run. The block
// covers columns [sx, sx + w) of picture rows from sy down.
void compose_spans(const Picture& p, const Block& b, int32_t sx, int32_t sy, int32_t alpha) {
  const SpanMap& m = spans_of(p);
  const int32_t right = sx + b.w;
  // Partial runs are mixed in batches (opaque ones, which they never
  // overlap, are copied as they come): one call for many short runs.
  constexpr size_t kBatch = 128;
  kernels::WeightedRun batch[kBatch];
  size_t batched = 0;
  uint8_t* drow = b.dst;
  for (int32_t y = 0; y < b.h; ++y, drow += b.dst_step) {
    const auto row = static_cast<size_t>(sy + y);
    const uint8_t* srow = p.surface.row(sy + y);
    for (uint32_t i = m.row_first[row]; i < m.row_first[row + 1]; ++i) {
      const SpanMap::Run run = m.runs[i];
      const int32_t from = std::max<int32_t>(static_cast<int32_t>(run.start), sx);
      const int32_t to = std::min<int32_t>(static_cast<int32_t>(run.start + run.length), right);
      if (from >= to) continue;
      const uint8_t* s = srow + static_cast<size_t>(from) * 3;
      uint8_t* d = drow + static_cast<size_t>(from - sx) * 3;
      const auto pixels = static_cast<size_t>(to - from);
      if (run.partial != 0) {
        const uint8_t* weight = m.weights.data() + run.weight_at +
                                3 * static_cast<size_t>(from - static_cast<int32_t>(run.start));
        batch[batched++] = kernels::WeightedRun{d, s, weight, 3 * pixels};
        if (batched == kBatch) {
          kernels::mix_weighted(batch, batched, alpha);
          batched = 0;
        }
      } else {
        put_opaque(d, s, pixels, alpha);
      }
    }
  }
  kernels::mix_weighted(batch, batched, alpha);
}

}  // namespace
void draw_picture(const Picture& source, Picture& destination, const Rect* clip, int32_t x,
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
    right = std::min<int64_t>(int64_t{clip->right} - 1, right);
    bottom = std::min<int64_t>(int64_t{clip->bottom} - 1, bottom);
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
  // Opacities outside 0..255 are held there.
  const bool blend = source.alpha != -1;
  const int32_t alpha = blend ? std::clamp(source.alpha, 0, 255) : -1;
  b.alpha = blend ? alpha : 255;

  if (!paletted) {
    // Copy mode, and modes no tag gives, draw opaque.
    if (source.trans_mode != kTransAlpha && source.trans_mode != kTransKey &&
        source.trans_mode != kTransLeftup) {
      return compose_copy(b, alpha);
    }
    return compose_spans(source, b, static_cast<int32_t>(sx), static_cast<int32_t>(sy), alpha);
  }

  b.palette = reinterpret_cast<const uint8_t*>(from.color_table.data());
  Kind kind = Kind::Copy;
  switch (source.trans_mode) {
    case kTransLeftup:
      // The key is the top-left pixel of the whole image, whatever the cell.
      kind = Kind::Key;
      b.key_index = from.row(0)[0];
      break;
    case kTransKey:
      kind = Kind::Key;
      b.key_index = source.key_index;
      break;
    case kTransAlpha: kind = Kind::Mask; break;
    default: break;
  }
  compose_paletted(b, kind, blend);
}

}  // namespace vellumite
