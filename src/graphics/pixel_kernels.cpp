// The kernels of pixel_kernels.h, compiled once per instruction set: this
// file includes itself once for every target (foreach_target.h), and the
// exported functions pick the best target at run time.
//
// Bytes are widened to 16-bit lanes; floor(x / 255) for x = a x b with a and
// b in 0..255 is (x + 1 + (x >> 8)) >> 8, exact over that whole range, so
// no division and no table is needed. Each loop does whole vectors and
// finishes the last few bytes or pixels with the same arithmetic one at a
// time.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/pixel_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#ifndef VELLUMITE_PIXEL_KERNELS_ONCE
#define VELLUMITE_PIXEL_KERNELS_ONCE
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace vellumite::kernels {
namespace one {

inline uint32_t div255(uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }
inline uint8_t mix(uint32_t over, uint32_t under, uint32_t o) {
  return static_cast<uint8_t>(div255(over * o) + div255(under * (255 - o)));
}

}  // namespace one
}  // namespace vellumite::kernels
#endif

HWY_BEFORE_NAMESPACE();
namespace vellumite::kernels {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D16 = hn::ScalableTag<uint16_t>;
using D8 = hn::Rebind<uint8_t, D16>;
using DI16 = hn::RebindToSigned<D16>;
using V16 = hn::Vec<D16>;

HWY_INLINE V16 Load(const uint8_t* p) { return hn::PromoteTo(D16(), hn::LoadU(D8(), p)); }
HWY_INLINE void Store(V16 v, uint8_t* p) {
  hn::StoreU(hn::DemoteTo(D8(), hn::BitCast(DI16(), v)), D8(), p);
}
HWY_INLINE V16 Div255(V16 x) {
  const D16 d;
  return hn::ShiftRight<8>(hn::Add(hn::Add(x, hn::Set(d, 1)), hn::ShiftRight<8>(x)));
}
// over at opacity o, on under.
HWY_INLINE V16 Mix(V16 over, V16 under, V16 o) {
  const V16 rest = hn::Sub(hn::Set(D16(), 255), o);
  return hn::Add(Div255(hn::Mul(over, o)), Div255(hn::Mul(under, rest)));
}

// Three planes of BGR pixels, widened.
struct Planes {
  V16 b, g, r;
};
HWY_INLINE Planes Load3(const uint8_t* p) {
  const D8 d8;
  hn::Vec<D8> b, g, r;
  hn::LoadInterleaved3(d8, p, b, g, r);
  const D16 d;
  return Planes{hn::PromoteTo(d, b), hn::PromoteTo(d, g), hn::PromoteTo(d, r)};
}
HWY_INLINE void Store3(const Planes& v, uint8_t* p) {
  const D8 d8;
  const DI16 di;
  hn::StoreInterleaved3(hn::DemoteTo(d8, hn::BitCast(di, v.b)),
                        hn::DemoteTo(d8, hn::BitCast(di, v.g)),
                        hn::DemoteTo(d8, hn::BitCast(di, v.r)), d8, p);
}
// The first byte of each of Lanes() mask pixels, widened.
HWY_INLINE V16 LoadMaskBlue(const uint8_t* p) {
  const D8 d8;
  hn::Vec<D8> b, g, r;
  hn::LoadInterleaved3(d8, p, b, g, r);
  return hn::PromoteTo(D16(), b);
}

void MixConstant(uint8_t* out, const uint8_t* keep, const uint8_t* gain, size_t n, int32_t level,
                 int parity) {
  const D16 d;
  const size_t lanes = hn::Lanes(d);
  const V16 o = hn::Set(d, static_cast<uint16_t>(level));
  size_t i = 0;
  if (parity < 0) {
    for (; i + lanes <= n; i += lanes) Store(Mix(Load(gain + i), Load(keep + i), o), out + i);
  } else {
    const auto odd = hn::And(hn::Iota(d, 0), hn::Set(d, 1));
    for (; i + lanes <= n; i += lanes) {
      // Lane j holds byte i + j: it is written when (i + j) % 2 == parity.
      const auto wanted = hn::Eq(hn::Xor(odd, hn::Set(d, static_cast<uint16_t>(i & 1))),
                                 hn::Set(d, static_cast<uint16_t>(parity)));
      const V16 mixed = Mix(Load(gain + i), Load(keep + i), o);
      Store(hn::IfThenElse(wanted, mixed, Load(out + i)), out + i);
    }
  }
  for (; i < n; ++i) {
    if (parity < 0 || static_cast<int>(i & 1) == parity)
      out[i] = one::mix(gain[i], keep[i], static_cast<uint32_t>(level));
  }
}

void MixMasked(uint8_t* dest, const uint8_t* source, const uint8_t* mask, size_t pixels,
               int32_t alpha) {
  const D16 d;
  const size_t lanes = hn::Lanes(d);
  const V16 full = hn::Set(d, 255);
  const V16 a = hn::Set(d, static_cast<uint16_t>(alpha < 0 ? 255 : alpha));
  size_t p = 0;
  for (; p + lanes <= pixels; p += lanes) {
    V16 o = hn::Sub(full, LoadMaskBlue(mask + 3 * p));
    if (alpha >= 0) o = Div255(hn::Mul(o, a));
    const Planes s = Load3(source + 3 * p);
    Planes t = Load3(dest + 3 * p);
    t.b = Mix(s.b, t.b, o);
    t.g = Mix(s.g, t.g, o);
    t.r = Mix(s.r, t.r, o);
    Store3(t, dest + 3 * p);
  }
  for (; p < pixels; ++p) {
    uint32_t o = 255u - mask[3 * p];
    if (alpha >= 0) o = one::div255(o * static_cast<uint32_t>(alpha));
    for (size_t k = 3 * p; k < 3 * p + 3; ++k) dest[k] = one::mix(source[k], dest[k], o);
  }
}

void Tint(uint8_t* px, size_t pixels, int32_t blue, int32_t green, int32_t red) {
  const D16 d;
  const size_t lanes = hn::Lanes(d);
  const V16 tb = hn::Set(d, static_cast<uint16_t>(blue));
  const V16 tg = hn::Set(d, static_cast<uint16_t>(green));
  const V16 tr = hn::Set(d, static_cast<uint16_t>(red));
  size_t p = 0;
  for (; p + lanes <= pixels; p += lanes) {
    Planes v = Load3(px + 3 * p);
    v.b = Div255(hn::Mul(v.b, tb));
    v.g = Div255(hn::Mul(v.g, tg));
    v.r = Div255(hn::Mul(v.r, tr));
    Store3(v, px + 3 * p);
  }
  const uint32_t t[3] = {static_cast<uint32_t>(blue), static_cast<uint32_t>(green),
                         static_cast<uint32_t>(red)};
  for (; p < pixels; ++p) {
    for (size_t k = 0; k < 3; ++k) {
      uint8_t& c = px[3 * p + k];
      c = static_cast<uint8_t>(one::div255(c * t[k]));
    }
  }
}

void Monochrome(uint8_t* px, size_t pixels, int32_t blue, int32_t green, int32_t red) {
  const D16 d;
  const size_t lanes = hn::Lanes(d);
  const V16 tb = hn::Set(d, static_cast<uint16_t>(blue));
  const V16 tg = hn::Set(d, static_cast<uint16_t>(green));
  const V16 tr = hn::Set(d, static_cast<uint16_t>(red));
  // sum / 3 = (sum x 43691) >> 17, exact for sums up to 765.
  const V16 third = hn::Set(d, 43691);
  size_t p = 0;
  for (; p + lanes <= pixels; p += lanes) {
    Planes v = Load3(px + 3 * p);
    const V16 mean = hn::ShiftRight<1>(hn::MulHigh(hn::Add(hn::Add(v.b, v.g), v.r), third));
    v.b = Div255(hn::Mul(mean, tb));
    v.g = Div255(hn::Mul(mean, tg));
    v.r = Div255(hn::Mul(mean, tr));
    Store3(v, px + 3 * p);
  }
  const uint32_t t[3] = {static_cast<uint32_t>(blue), static_cast<uint32_t>(green),
                         static_cast<uint32_t>(red)};
  for (; p < pixels; ++p) {
    uint8_t* c = px + 3 * p;
    const uint32_t mean = (uint32_t{c[0]} + c[1] + c[2]) / 3;
    for (size_t k = 0; k < 3; ++k) c[k] = static_cast<uint8_t>(one::div255(mean * t[k]));
  }
}

void TextOver(uint8_t* dest, const uint8_t* colour, const uint8_t* alpha, size_t pixels) {
  const D16 d;
  const size_t lanes = hn::Lanes(d);
  const V16 full = hn::Set(d, 255);
  size_t p = 0;
  for (; p + lanes <= pixels; p += lanes) {
    const V16 a = Load(alpha + p);
    const auto none = hn::Eq(a, hn::Zero(d));
    if (hn::AllTrue(d, none)) continue;
    const V16 keep = hn::Sub(full, a);
    const Planes c = Load3(colour + 3 * p);
    const Planes t = Load3(dest + 3 * p);
    Planes v;
    v.b = hn::IfThenElse(none, t.b, hn::Min(full, hn::Add(Div255(hn::Mul(t.b, keep)), c.b)));
    v.g = hn::IfThenElse(none, t.g, hn::Min(full, hn::Add(Div255(hn::Mul(t.g, keep)), c.g)));
    v.r = hn::IfThenElse(none, t.r, hn::Min(full, hn::Add(Div255(hn::Mul(t.r, keep)), c.r)));
    Store3(v, dest + 3 * p);
  }
  for (; p < pixels; ++p) {
    const uint32_t a = alpha[p];
    if (a == 0) continue;
    for (size_t k = 3 * p; k < 3 * p + 3; ++k)
      dest[k] = static_cast<uint8_t>(
          std::min<uint32_t>(255, one::div255(dest[k] * (255 - a)) + colour[k]));
  }
}

void Shade(uint8_t* dest, const uint8_t* alpha, size_t pixels) {
  const D16 d;
  const size_t lanes = hn::Lanes(d);
  const V16 full = hn::Set(d, 255);
  size_t p = 0;
  for (; p + lanes <= pixels; p += lanes) {
    const V16 a = Load(alpha + p);
    if (hn::AllTrue(d, hn::Eq(a, hn::Zero(d)))) continue;
    const V16 keep = hn::Sub(full, a);
    Planes v = Load3(dest + 3 * p);
    v.b = Div255(hn::Mul(v.b, keep));
    v.g = Div255(hn::Mul(v.g, keep));
    v.r = Div255(hn::Mul(v.r, keep));
    Store3(v, dest + 3 * p);
  }
  for (; p < pixels; ++p) {
    const uint32_t keep = 255u - alpha[p];
    for (size_t k = 3 * p; k < 3 * p + 3; ++k)
      dest[k] = static_cast<uint8_t>(one::div255(dest[k] * keep));
  }
}

void Reveal(uint8_t* screen, const uint8_t* scene, const uint8_t* mask, size_t pixels,
            int32_t threshold) {
  const D16 d;
  const DI16 di;
  const size_t lanes = hn::Lanes(d);
  const auto limit = hn::Set(di, static_cast<int16_t>(std::clamp(threshold, -1, 255)));
  size_t p = 0;
  for (; p + lanes <= pixels; p += lanes) {
    const auto shown =
        hn::RebindMask(d, hn::Not(hn::Gt(hn::BitCast(di, LoadMaskBlue(mask + 3 * p)), limit)));
    if (hn::AllFalse(d, shown)) continue;
    const Planes s = Load3(scene + 3 * p);
    Planes t = Load3(screen + 3 * p);
    t.b = hn::IfThenElse(shown, s.b, t.b);
    t.g = hn::IfThenElse(shown, s.g, t.g);
    t.r = hn::IfThenElse(shown, s.r, t.r);
    Store3(t, screen + 3 * p);
  }
  for (; p < pixels; ++p) {
    if (mask[3 * p] > threshold) continue;
    for (size_t k = 3 * p; k < 3 * p + 3; ++k) screen[k] = scene[k];
  }
}

void MaskFade(uint8_t* screen, const uint8_t* old, const uint8_t* scene, const uint8_t* mask,
              size_t pixels, int32_t threshold) {
  const D16 d;
  const DI16 di;
  const size_t lanes = hn::Lanes(d);
  const int32_t t = std::clamp(threshold, -1, 1024);
  const auto level = hn::Set(di, static_cast<int16_t>(t));
  size_t p = 0;
  for (; p + lanes <= pixels; p += lanes) {
    const auto k = hn::Sub(level, hn::BitCast(di, LoadMaskBlue(mask + 3 * p)));
    const V16 o = hn::BitCast(d, hn::Min(hn::Max(k, hn::Zero(di)), hn::Set(di, 255)));
    const Planes s = Load3(scene + 3 * p);
    Planes u = Load3(old + 3 * p);
    u.b = Mix(s.b, u.b, o);
    u.g = Mix(s.g, u.g, o);
    u.r = Mix(s.r, u.r, o);
    Store3(u, screen + 3 * p);
  }
  for (; p < pixels; ++p) {
    const auto o = static_cast<uint32_t>(std::clamp(t - mask[3 * p], 0, 255));
    for (size_t k = 3 * p; k < 3 * p + 3; ++k) screen[k] = one::mix(scene[k], old[k], o);
  }
}

}  // namespace HWY_NAMESPACE
}  // namespace vellumite::kernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "graphics/pixel_kernels.h"

namespace vellumite::kernels {

HWY_EXPORT(MixConstant);
HWY_EXPORT(MixMasked);
HWY_EXPORT(Tint);
HWY_EXPORT(Monochrome);
HWY_EXPORT(TextOver);
HWY_EXPORT(Shade);
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

void mix_masked(uint8_t* dest, const uint8_t* source, const uint8_t* mask, size_t pixels,
                int32_t alpha) {
  HWY_DYNAMIC_DISPATCH(MixMasked)(dest, source, mask, pixels, std::min(alpha, 255));
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

void reveal(uint8_t* screen, const uint8_t* scene, const uint8_t* mask, size_t pixels,
            int32_t threshold) {
  HWY_DYNAMIC_DISPATCH(Reveal)(screen, scene, mask, pixels, threshold);
}

void mask_fade(uint8_t* screen, const uint8_t* old, const uint8_t* scene, const uint8_t* mask,
               size_t pixels, int32_t threshold) {
  HWY_DYNAMIC_DISPATCH(MaskFade)(screen, old, scene, mask, pixels, threshold);
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
