// The kernels of pixel_kernels.h, compiled once per instruction set: this
// file includes itself once for every target (foreach_target.h), and the
// exported functions pick the best target at run time.
//
// Bytes are widened to 16-bit lanes; floor(x / 255) is one high multiply
// and a shift (Div255), and a product floor(x * c / 255) by a weight c
// below 255 one high multiply by 257c + 1, both exact for every byte, so
// no division and no table is needed.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel_kernels.cpp"
#include "graphics/pixel_kernels.h"

#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

HWY_BEFORE_NAMESPACE();
namespace vellumite::kernels {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Calls body(d, i) for blocks of Lanes(d) items from i = 0 until n items are
// done: whole vectors first, then vectors of at most 8, 4, 2 and 1 lanes, so
// that short runs still use the vector code.
template <class Body>
HWY_INLINE void for_blocks(size_t n, const Body& body) {
  const hn::ScalableTag<uint16_t> full;
  size_t i = 0;
  const size_t wide = hn::Lanes(full);
  for (; i + wide <= n; i += wide) body(full, i);
  const hn::CappedTag<uint16_t, 8> eight;
  for (; i + hn::Lanes(eight) <= n; i += hn::Lanes(eight)) body(eight, i);
  const hn::CappedTag<uint16_t, 4> four;
  if (i + hn::Lanes(four) <= n) {
    body(four, i);
    i += hn::Lanes(four);
  }
  const hn::CappedTag<uint16_t, 2> two;
  if (i + hn::Lanes(two) <= n) {
    body(two, i);
    i += hn::Lanes(two);
  }
  const hn::CappedTag<uint16_t, 1> one;
  for (; i < n; ++i) body(one, i);
}

template <class D>
HWY_INLINE hn::Vec<D> Load(D d, const uint8_t* p) {
  return hn::PromoteTo(d, hn::LoadU(hn::Rebind<uint8_t, D>(), p));
}
template <class D>
HWY_INLINE void Store(D, hn::Vec<D> v, uint8_t* p) {
  const hn::Rebind<uint8_t, D> d8;
  hn::StoreU(hn::DemoteTo(d8, hn::BitCast(hn::RebindToSigned<D>(), v)), d8, p);
}
// Replaces each of the n bytes at p by what f(d, j, v) returns for the
// widened bytes v at p + j, in vectors as wide as n allows: the last one
// may overlap the one before it and is given its bytes as they were before
// any was replaced, so it stores the same results again there.
template <class D, class F>
HWY_INLINE void overlapping_vectors(D d, uint8_t* p, size_t n, const F& f) {
  const size_t lanes = hn::Lanes(d);
  const size_t last = n - lanes;
  const auto tail = Load(d, p + last);
  size_t j = 0;
  for (; j + lanes <= n; j += lanes) Store(d, f(d, j, Load(d, p + j)), p + j);
  if (j < n) Store(d, f(d, last, tail), p + last);
}
template <class F>
HWY_INLINE void for_vectors_in_place(uint8_t* p, size_t n, const F& f) {
  const hn::ScalableTag<uint16_t> full;
  const hn::CappedTag<uint16_t, 16> sixteen;
  const hn::CappedTag<uint16_t, 8> eight;
  if (n >= hn::Lanes(full)) return overlapping_vectors(full, p, n, f);
  if (n >= hn::Lanes(sixteen)) return overlapping_vectors(sixteen, p, n, f);
  if (n >= hn::Lanes(eight)) return overlapping_vectors(eight, p, n, f);
  for_blocks(n, [&](auto d, size_t j) HWY_ATTR { Store(d, f(d, j, Load(d, p + j)), p + j); });
}

// floor(x / 255) for every 16-bit x: (x * 0x8081) >> 23, the high half of
// the product shifted by 7.
template <class D>
HWY_INLINE hn::Vec<D> Div255(D d, hn::Vec<D> x) {
  return hn::ShiftRight<7>(hn::MulHigh(x, hn::Set(d, 0x8081)));
}
// over at opacity o, on under.
template <class D>
HWY_INLINE hn::Vec<D> Mix(D d, hn::Vec<D> over, hn::Vec<D> under, hn::Vec<D> o) {
  const hn::Vec<D> rest = hn::Sub(hn::Set(d, 255), o);
  return hn::Add(Div255(d, hn::Mul(over, o)), Div255(d, hn::Mul(under, rest)));
}
// The same for 0 < o < 255, given w = 257 x o: floor(x * c / 255) is
// (x * (257c + 1)) >> 16 for every byte x and every c below 255, one high
// multiply, and the two multipliers are w + 1 and 257 x (255 - o) + 1,
// which is 65536 - w.
template <class D>
HWY_INLINE hn::Vec<D> MixPartial(D d, hn::Vec<D> over, hn::Vec<D> under, hn::Vec<D> w) {
  return hn::Add(hn::MulHigh(over, hn::Add(w, hn::Set(d, 1))),
                 hn::MulHigh(under, hn::Sub(hn::Zero(d), w)));
}

// Three planes of BGR pixels, widened.
template <class D>
struct Planes {
  hn::Vec<D> b, g, r;
};
template <class D>
HWY_INLINE Planes<D> Load3(D d, const uint8_t* p) {
  const hn::Rebind<uint8_t, D> d8;
  hn::Vec<decltype(d8)> b, g, r;
  hn::LoadInterleaved3(d8, p, b, g, r);
  return Planes<D>{hn::PromoteTo(d, b), hn::PromoteTo(d, g), hn::PromoteTo(d, r)};
}
template <class D>
HWY_INLINE void Store3(D, const Planes<D>& v, uint8_t* p) {
  const hn::Rebind<uint8_t, D> d8;
  const hn::RebindToSigned<D> di;
  hn::StoreInterleaved3(hn::DemoteTo(d8, hn::BitCast(di, v.b)),
                        hn::DemoteTo(d8, hn::BitCast(di, v.g)),
                        hn::DemoteTo(d8, hn::BitCast(di, v.r)), d8, p);
}
// The first byte of each of Lanes(d) mask pixels, widened.
template <class D>
HWY_INLINE hn::Vec<D> LoadMaskBlue(D d, const uint8_t* p) {
  return Load3(d, p).b;
}

void MixConstant(uint8_t* out, const uint8_t* keep, const uint8_t* gain, size_t n, int32_t level,
                 int parity) {
  const auto o = static_cast<uint16_t>(level);
  const bool partial = o > 0 && o < 255;
  const auto mix = [&](auto d, auto over, auto under) HWY_ATTR {
    if (partial) return MixPartial(d, over, under, hn::Set(d, static_cast<uint16_t>(257 * o)));
    return Mix(d, over, under, hn::Set(d, o));
  };
  if (parity < 0) {
    for_blocks(n, [&](auto d, size_t i) HWY_ATTR {
      Store(d, mix(d, Load(d, gain + i), Load(d, keep + i)), out + i);
    });
    return;
  }
#if HWY_TARGET == HWY_SCALAR
  // One lane: no two bytes share a vector.
  for_blocks(n, [&](auto d, size_t i) HWY_ATTR {
    if (static_cast<int>(i & 1) != parity) return;
    Store(d, mix(d, Load(d, gain + i), Load(d, keep + i)), out + i);
  });
#else
  // Every second byte: each 16-bit lane holds two bytes, the one at an even
  // offset in its low half (little-endian), so the bytes wanted are taken
  // out of the lanes and put back without widening.
  const int shift = parity == 0 ? 0 : 8;
  const auto kept_half = static_cast<uint16_t>(parity == 0 ? 0xFF00 : 0x00FF);
  for_blocks(n / 2, [&](auto d, size_t j) HWY_ATTR {
    const hn::Repartition<uint8_t, decltype(d)> d8;
    const auto pick = [&](const uint8_t* p) HWY_ATTR {
      const auto v = hn::BitCast(d, hn::LoadU(d8, p + 2 * j));
      return shift == 0 ? hn::And(v, hn::Set(d, 0xFF)) : hn::ShiftRight<8>(v);
    };
    const auto mixed = mix(d, pick(gain), pick(keep));
    const auto both = hn::BitCast(d, hn::LoadU(d8, out + 2 * j));
    const auto placed = shift == 0 ? mixed : hn::ShiftLeft<8>(mixed);
    hn::StoreU(hn::BitCast(d8, hn::Or(hn::And(both, hn::Set(d, kept_half)), placed)), d8,
               out + 2 * j);
  });
  if (n % 2 == 1 && parity == 0) {
    const uint32_t x = uint32_t{gain[n - 1]} * o, y = uint32_t{keep[n - 1]} * (255u - o);
    out[n - 1] = static_cast<uint8_t>(((x + 1 + (x >> 8)) >> 8) + ((y + 1 + (y >> 8)) >> 8));
  }
#endif
}

// The tint is taken over runs of bytes in their own order: its weight is a
// repeating pattern of three bytes, kChunk pixels long.
constexpr size_t kChunk = 256;

// A tint's weights for the 3 x kChunk bytes of a chunk: bytes[j] is
// channel[j % 3]; lanes[j] the same as the multiplier 257 x channel + 1, as
// floor(x * c / 255) = (x * (257c + 1)) >> 16 for every byte x and every c
// below 255: one high multiply instead of a multiply and a division. lanes
// is null when a channel is 255, which no 16-bit multiplier keeps.
struct ChannelPattern {
  const uint8_t* bytes;
  const uint16_t* lanes;
};

// A game tints with one colour for long stretches: the last pattern is kept.
ChannelPattern channel_pattern(uint8_t b, uint8_t g, uint8_t r) {
  thread_local struct {
    uint8_t bytes[3 * kChunk];
    uint16_t lanes[3 * kChunk];
    uint32_t key = UINT32_MAX;
  } last;
  const uint32_t key = uint32_t{b} | uint32_t{g} << 8 | uint32_t{r} << 16;
  if (last.key != key) {
    for (size_t k = 0; k < 3 * kChunk; k += 3) {
      last.bytes[k] = b;
      last.bytes[k + 1] = g;
      last.bytes[k + 2] = r;
    }
    for (size_t k = 0; k < 3 * kChunk; ++k)
      last.lanes[k] = static_cast<uint16_t>(257 * last.bytes[k] + 1);
    last.key = key;
  }
  const bool multiplies = b != 255 && g != 255 && r != 255;
  return ChannelPattern{last.bytes, multiplies ? last.lanes : nullptr};
}

// t tinted by the pattern's weights j...: by its multipliers when there
// are some, else by the bytes.
template <class D>
HWY_INLINE hn::Vec<D> TintAt(D d, hn::Vec<D> t, const ChannelPattern& tint, size_t j) {
  if (tint.lanes != nullptr) return hn::MulHigh(t, hn::LoadU(d, tint.lanes + j));
  return Div255(d, hn::Mul(t, Load(d, tint.bytes + j)));
}

void Tint(uint8_t* px, size_t pixels, int32_t blue, int32_t green, int32_t red) {
  const auto b = static_cast<uint8_t>(blue), g = static_cast<uint8_t>(green),
             r = static_cast<uint8_t>(red);
  const ChannelPattern tint = channel_pattern(b, g, r);
  for (size_t start = 0; start < pixels; start += kChunk) {
    for_vectors_in_place(px + 3 * start, 3 * std::min(kChunk, pixels - start),
                         [&](auto d, size_t j, auto t) HWY_ATTR { return TintAt(d, t, tint, j); });
  }
}

void MixWeighted(const WeightedRun* runs, size_t count, int32_t alpha) {
  for (const WeightedRun* run = runs; run != runs + count; ++run) {
    const uint8_t* source = run->source;
    const uint8_t* weight = run->weight;
    if (alpha < 0) {
      for_vectors_in_place(run->dest, run->n, [&](auto d, size_t j, auto under) HWY_ATTR {
        const auto w = hn::Mul(Load(d, weight + j), hn::Set(d, 257));
        return MixPartial(d, Load(d, source + j), under, w);
      });
      continue;
    }
    const auto a = static_cast<uint16_t>(alpha);
    for_vectors_in_place(run->dest, run->n, [&](auto d, size_t j, auto under) HWY_ATTR {
      const auto o = Div255(d, hn::Mul(Load(d, weight + j), hn::Set(d, a)));
      return Mix(d, Load(d, source + j), under, o);
    });
  }
}

void Monochrome(uint8_t* px, size_t pixels, int32_t blue, int32_t green, int32_t red) {
  for_blocks(pixels, [&](auto d, size_t p) HWY_ATTR {
    auto v = Load3(d, px + 3 * p);
    // sum / 3 = (sum x 43691) >> 17, exact for sums up to 765.
    const auto sum = hn::Add(hn::Add(v.b, v.g), v.r);
    const auto mean = hn::ShiftRight<1>(hn::MulHigh(sum, hn::Set(d, 43691)));
    v.b = Div255(d, hn::Mul(mean, hn::Set(d, static_cast<uint16_t>(blue))));
    v.g = Div255(d, hn::Mul(mean, hn::Set(d, static_cast<uint16_t>(green))));
    v.r = Div255(d, hn::Mul(mean, hn::Set(d, static_cast<uint16_t>(red))));
    Store3(d, v, px + 3 * p);
  });
}

void TextOver(uint8_t* dest, const uint8_t* colour, const uint8_t* alpha, size_t pixels) {
  for_blocks(pixels, [&](auto d, size_t p) HWY_ATTR {
    const auto a = Load(d, alpha + p);
    const auto none = hn::Eq(a, hn::Zero(d));
    if (hn::AllTrue(d, none)) return;
    const auto full = hn::Set(d, 255);
    const auto keep = hn::Sub(full, a);
    const auto c = Load3(d, colour + 3 * p);
    auto t = Load3(d, dest + 3 * p);
    t.b = hn::IfThenElse(none, t.b, hn::Min(full, hn::Add(Div255(d, hn::Mul(t.b, keep)), c.b)));
    t.g = hn::IfThenElse(none, t.g, hn::Min(full, hn::Add(Div255(d, hn::Mul(t.g, keep)), c.g)));
    t.r = hn::IfThenElse(none, t.r, hn::Min(full, hn::Add(Div255(d, hn::Mul(t.r, keep)), c.r)));
    Store3(d, t, dest + 3 * p);
  });
}

void Shade(uint8_t* dest, const uint8_t* alpha, size_t pixels) {
  for_blocks(pixels, [&](auto d, size_t p) HWY_ATTR {
    const auto a = Load(d, alpha + p);
    if (hn::AllTrue(d, hn::Eq(a, hn::Zero(d)))) return;
    const auto keep = hn::Sub(hn::Set(d, 255), a);
    auto v = Load3(d, dest + 3 * p);
    v.b = Div255(d, hn::Mul(v.b, keep));
    v.g = Div255(d, hn::Mul(v.g, keep));
    v.r = Div255(d, hn::Mul(v.r, keep));
    Store3(d, v, dest + 3 * p);
  });
}

// out[3k] = out[3k + 1] = out[3k + 2] = 255 - in[k] for k < n: what each
// byte keeps under a coverage. In whole vectors only: the last one overlaps
// the one before it (storing the same bytes again there), and fewer pixels
// than a vector holds are read through a padded copy, so `out` has room for
// 3 x max(n, HWY_MAX_BYTES) bytes. Bytes stored one at a time and read back
// at once as a vector would stall the loads that follow.
HWY_INLINE void SpreadKeep3(const uint8_t* in, size_t n, uint8_t* out) {
  const hn::ScalableTag<uint8_t> d8;
  const size_t lanes = hn::Lanes(d8);
  const auto spread = [&](const uint8_t* from, size_t k) HWY_ATTR {
    const auto v = hn::Not(hn::LoadU(d8, from));
    hn::StoreInterleaved3(v, v, v, d8, out + 3 * k);
  };
  if (n < lanes) {
    uint8_t padded[HWY_MAX_BYTES] = {};
    std::memcpy(padded, in, n);
    spread(padded, 0);
    return;
  }
  size_t k = 0;
  for (; k + lanes <= n; k += lanes) spread(in + k, k);
  if (k < n) spread(in + n - lanes, n - lanes);
}

// Whether any of the n bytes is not 0, eight at a time.
HWY_INLINE bool AnyNonZero(const uint8_t* p, size_t n) {
  size_t k = 0;
  for (; k + 8 <= n; k += 8) {
    uint64_t word;
    std::memcpy(&word, p + k, 8);
    if (word != 0) return true;
  }
  for (; k < n; ++k) {
    if (p[k] != 0) return true;
  }
  return false;
}

void WindowText(uint8_t* dest, const uint8_t* colour, const uint8_t* alpha, size_t pixels,
                bool shadow, const uint8_t* tint) {
  // The bytes in their own order: the coverages are spread over their
  // pixels' three bytes first, kChunk pixels at a time.
  const ChannelPattern tints =
      tint != nullptr ? channel_pattern(tint[0], tint[1], tint[2]) : ChannelPattern{};
  // What each byte keeps under the coverages, from the pixel before the
  // chunk (whose coverage is the first pixel's shadow) to its last: the
  // shadow's bytes start at keep, the text's three bytes later.
  uint8_t keep[3 * (std::max<size_t>(kChunk, HWY_MAX_BYTES) + 1)];
  const uint8_t* text_keep = keep + 3;
  for (size_t start = 0; start < pixels; start += kChunk) {
    const size_t n = std::min(kChunk, pixels - start);
    const uint8_t* covered = shadow ? alpha + start - 1 : alpha + start;
    const size_t count = shadow ? n + 1 : n;
    // Most of a window holds no text: a chunk without coverage keeps its
    // bytes (but for the tint).
    const bool text = AnyNonZero(covered, count);
    if (!text && tint == nullptr) continue;
    if (text) SpreadKeep3(covered, count, shadow ? keep : keep + 3);
    const bool shade = text && shadow;
    const uint8_t* ink = colour + 3 * start;
    for_vectors_in_place(dest + 3 * start, 3 * n, [&](auto d, size_t j, auto t) HWY_ATTR {
      if (tint != nullptr) t = TintAt(d, t, tints, j);
      if (shade) t = Div255(d, hn::Mul(t, Load(d, keep + j)));
      if (text) {
        // Store holds the sum at 255.
        const auto k = Load(d, text_keep + j);
        const auto over = hn::Add(Div255(d, hn::Mul(t, k)), Load(d, ink + j));
        t = hn::IfThenElse(hn::Eq(k, hn::Set(d, 255)), t, over);
      }
      return t;
    });
  }
}

void Reveal(uint8_t* screen, const uint8_t* scene, const uint8_t* mask, size_t pixels,
            int32_t after, int32_t upto) {
  const auto low = static_cast<int16_t>(std::clamp(after, -1, 255));
  const auto high = static_cast<int16_t>(std::clamp(upto, -1, 255));
  for_blocks(pixels, [&](auto d, size_t p) HWY_ATTR {
    const hn::RebindToSigned<decltype(d)> di;
    const auto m = hn::BitCast(di, LoadMaskBlue(d, mask + 3 * p));
    const auto shown = hn::RebindMask(
        d, hn::And(hn::Gt(m, hn::Set(di, low)), hn::Not(hn::Gt(m, hn::Set(di, high)))));
    if (hn::AllFalse(d, shown)) return;
    const auto s = Load3(d, scene + 3 * p);
    auto t = Load3(d, screen + 3 * p);
    t.b = hn::IfThenElse(shown, s.b, t.b);
    t.g = hn::IfThenElse(shown, s.g, t.g);
    t.r = hn::IfThenElse(shown, s.r, t.r);
    Store3(d, t, screen + 3 * p);
  });
}

// The least and the greatest of some bytes.
struct ByteRange {
  uint8_t low = 255, high = 0;
};

// The range of n bytes.
HWY_INLINE ByteRange RangeOf(const uint8_t* p, size_t n) {
  const hn::ScalableTag<uint8_t> d8;
  const size_t lanes = hn::Lanes(d8);
  auto low = hn::Set(d8, 255), high = hn::Zero(d8);
  size_t k = 0;
  for (; k + lanes <= n; k += lanes) {
    const auto v = hn::LoadU(d8, p + k);
    low = hn::Min(low, v);
    high = hn::Max(high, v);
  }
  uint8_t lows[HWY_MAX_BYTES], highs[HWY_MAX_BYTES];
  hn::StoreU(low, d8, lows);
  hn::StoreU(high, d8, highs);
  ByteRange range;
  for (size_t i = 0; i < lanes; ++i) {
    range.low = std::min(range.low, lows[i]);
    range.high = std::max(range.high, highs[i]);
  }
  for (; k < n; ++k) {
    range.low = std::min(range.low, p[k]);
    range.high = std::max(range.high, p[k]);
  }
  return range;
}

void MaskFade(uint8_t* screen, const uint8_t* old, const uint8_t* scene, const uint8_t* mask,
              size_t pixels, int32_t previous, int32_t threshold) {
  const int32_t level = std::clamp(threshold, -1, 1024);
  const int32_t before = std::clamp(previous, -1, 1024);
  for (size_t start = 0; start < 3 * pixels; start += 3 * kChunk) {
    const size_t n = std::min(3 * kChunk, 3 * pixels - start);
    // A stretch still wholly the old picture, or already wholly the new one
    // (the level only grows), is left as it is.
    const ByteRange range = RangeOf(mask + start, n);
    if (level - range.low <= 0 || before - range.high > 254) continue;
    for_blocks(n, [&](auto d, size_t j) HWY_ATTR {
      const hn::RebindToSigned<decltype(d)> di;
      const size_t at = start + j;
      const auto k =
          hn::Sub(hn::Set(di, static_cast<int16_t>(level)), hn::BitCast(di, Load(d, mask + at)));
      const auto o = hn::BitCast(d, hn::Min(hn::Max(k, hn::Zero(di)), hn::Set(di, 255)));
      Store(d, Mix(d, Load(d, scene + at), Load(d, old + at), o), screen + at);
    });
  }
}

}  // namespace HWY_NAMESPACE
}  // namespace vellumite::kernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace vellumite::kernels {

HWY_EXPORT(MixConstant);
HWY_EXPORT(MixWeighted);
HWY_EXPORT(Tint);
HWY_EXPORT(Monochrome);
HWY_EXPORT(TextOver);
HWY_EXPORT(Shade);
HWY_EXPORT(WindowText);
HWY_EXPORT(Reveal);
HWY_EXPORT(MaskFade);

namespace {

// The portable target, always compiled in: what "no SIMD" runs.
constexpr int64_t kPortable = HWY_ARCH_X86 ? HWY_EMU128 : HWY_STATIC_TARGET;
// What use_target(0) goes back to: 0 (the best) or kPortable.
int64_t default_target = 0;

}  // namespace

void mix_constant(uint8_t* out, const uint8_t* keep, const uint8_t* gain, size_t n, int32_t level,
                  int parity) {
  HWY_DYNAMIC_DISPATCH(MixConstant)(out, keep, gain, n, std::clamp(level, 0, 255), parity);
}

void mix_weighted(uint8_t* dest, const uint8_t* source, const uint8_t* weight, size_t n,
                  int32_t alpha) {
  const WeightedRun run{dest, source, weight, n};
  mix_weighted(&run, 1, alpha);
}

void mix_weighted(const WeightedRun* runs, size_t count, int32_t alpha) {
  HWY_DYNAMIC_DISPATCH(MixWeighted)(runs, count, std::min(alpha, 255));
}

void tint(uint8_t* p, size_t pixels, int32_t blue, int32_t green, int32_t red) {
  HWY_DYNAMIC_DISPATCH(Tint)
  (p, pixels, std::clamp(blue, 0, 255), std::clamp(green, 0, 255), std::clamp(red, 0, 255));
}

void monochrome(uint8_t* p, size_t pixels, int32_t blue, int32_t green, int32_t red) {
  HWY_DYNAMIC_DISPATCH(Monochrome)
  (p, pixels, std::clamp(blue, 0, 255), std::clamp(green, 0, 255), std::clamp(red, 0, 255));
}

void text_over(uint8_t* dest, const uint8_t* colour, const uint8_t* alpha, size_t pixels) {
  HWY_DYNAMIC_DISPATCH(TextOver)(dest, colour, alpha, pixels);
}

void shade(uint8_t* dest, const uint8_t* alpha, size_t pixels) {
  HWY_DYNAMIC_DISPATCH(Shade)(dest, alpha, pixels);
}

void window_text(uint8_t* dest, const uint8_t* colour, const uint8_t* alpha, size_t pixels,
                 bool shadow, const uint8_t* tint) {
  HWY_DYNAMIC_DISPATCH(WindowText)(dest, colour, alpha, pixels, shadow, tint);
}

void reveal(uint8_t* screen, const uint8_t* scene, const uint8_t* mask, size_t pixels,
            int32_t after, int32_t upto) {
  HWY_DYNAMIC_DISPATCH(Reveal)(screen, scene, mask, pixels, after, upto);
}

void mask_fade(uint8_t* screen, const uint8_t* old, const uint8_t* scene, const uint8_t* mask,
               size_t pixels, int32_t previous, int32_t threshold) {
  HWY_DYNAMIC_DISPATCH(MaskFade)(screen, old, scene, mask, pixels, previous, threshold);
}

void set_simd_enabled(bool enabled) {
  default_target = enabled ? 0 : kPortable;
  use_target(0);
}

std::vector<int64_t> available_targets() {
  std::vector<int64_t> targets = hwy::SupportedAndGeneratedTargets();
  if (std::find(targets.begin(), targets.end(), kPortable) == targets.end())
    targets.push_back(kPortable);
  return targets;
}

const char* target_name(int64_t target) { return hwy::TargetName(target); }

void use_target(int64_t target) {
  hwy::SetSupportedTargetsForTest(target != 0 ? target : default_target);
}

}  // namespace vellumite::kernels
#endif
