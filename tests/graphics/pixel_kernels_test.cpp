// Every pixel kernel, on every instruction set compiled in that this CPU
// runs, against the arithmetic written out: floor(a x b / 255) with integer
// division. The blends are checked for every (source, destination, opacity)
// triple; buffers start one byte off alignment and have lengths that leave a
// tail after the last whole vector.
#include "graphics/pixel_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vellumite {
namespace {

using Bytes = std::vector<uint8_t>;

// floor(a x b / 255) for every pair, worked out once by division.
const std::vector<uint8_t>& quotients() {
  static const std::vector<uint8_t> q = [] {
    std::vector<uint8_t> t(65536);
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b)
        t[static_cast<size_t>(a * 256 + b)] = static_cast<uint8_t>(a * b / 255);
    return t;
  }();
  return q;
}

uint8_t mix(int over, int under, int o) {
  const std::vector<uint8_t>& q = quotients();
  return static_cast<uint8_t>(q[static_cast<size_t>(over * 256 + o)] +
                              q[static_cast<size_t>(under * 256 + 255 - o)]);
}

// The first byte where `got` differs from `want`, as text; empty when equal.
std::string first_difference(const Bytes& got, const Bytes& want) {
  for (size_t i = 0; i < want.size(); ++i) {
    if (got[i] != want[i]) {
      return "byte " + std::to_string(i) + ": " + std::to_string(got[i]) + " instead of " +
             std::to_string(want[i]);
    }
  }
  return {};
}

class PixelKernels : public testing::TestWithParam<int64_t> {
 protected:
  void SetUp() override { kernels::use_target(GetParam()); }
  void TearDown() override { kernels::use_target(0); }
};

// 65,537 (source, destination) pairs: every pair and one byte more, so that
// every vector width leaves a tail; stored from byte 1 of the buffer.
constexpr size_t kPairs = 65537;
uint8_t source_of(size_t i) { return static_cast<uint8_t>(i & 0xFF); }
uint8_t dest_of(size_t i) { return static_cast<uint8_t>((i >> 8) & 0xFF); }

TEST_P(PixelKernels, ConstantMixOfEveryTripleAndOnAlternateBytes) {
  Bytes keep(kPairs + 1), gain(kPairs + 1), out(kPairs + 1), want(kPairs + 1);
  for (size_t i = 0; i < kPairs; ++i) {
    gain[i + 1] = source_of(i);
    keep[i + 1] = dest_of(i);
  }
  for (int level = 0; level < 256; ++level) {
    for (size_t i = 0; i < kPairs; ++i) want[i + 1] = mix(gain[i + 1], keep[i + 1], level);
    kernels::mix_constant(out.data() + 1, keep.data() + 1, gain.data() + 1, kPairs, level);
    ASSERT_EQ(first_difference(out, want), "") << "level " << level;
  }
  // On alternate bytes only: the others keep what the last mix left.
  for (int parity : {0, 1}) {
    want = out;
    for (size_t i = static_cast<size_t>(parity); i < kPairs; i += 2)
      want[i + 1] = mix(gain[i + 1], keep[i + 1], 100);
    kernels::mix_constant(out.data() + 1, keep.data() + 1, gain.data() + 1, kPairs, 100, parity);
    ASSERT_EQ(first_difference(out, want), "") << "parity " << parity;
  }
}

// Bytes j hold the pair j % 65536 (every pair once, a few twice), all at
// the opacity w (every opacity a partial run has); in one run and in runs
// of 1, 2, 3, ... bytes.
TEST_P(PixelKernels, WeightedMixOfEveryTriple) {
  constexpr size_t kBytes = 65537;
  Bytes source(kBytes + 1), weight(kBytes + 1), base(kBytes + 1), want(kBytes + 1);
  for (size_t j = 0; j < kBytes; ++j) {
    source[j + 1] = source_of(j);
    base[j + 1] = dest_of(j);
  }
  for (int w = 1; w < 255; ++w) {
    std::fill(weight.begin(), weight.end(), static_cast<uint8_t>(w));
    for (size_t j = 1; j < want.size(); ++j) want[j] = mix(source[j], base[j], w);
    Bytes dest = base;
    kernels::mix_weighted(dest.data() + 1, source.data() + 1, weight.data() + 1, kBytes, -1);
    ASSERT_EQ(first_difference(dest, want), "") << "weight " << w;
    dest = base;
    for (size_t at = 1, n = 1; at < dest.size(); at += n, ++n) {
      kernels::mix_weighted(dest.data() + at, source.data() + at, weight.data() + at,
                            std::min(n, dest.size() - at), -1);
    }
    ASSERT_EQ(first_difference(dest, want), "") << "runs, weight " << w;
  }
}

// With a constant opacity A each weight o becomes floor(o x A / 255): every
// (weight, A) pair over a spread of bytes.
TEST_P(PixelKernels, WeightedMixAtAConstantOpacity) {
  constexpr size_t kBytes = 257 * 3;
  Bytes source(kBytes), weight(kBytes), dest(kBytes);
  for (int alpha = 0; alpha < 256; ++alpha) {
    for (size_t i = 0; i < kBytes; ++i) {
      source[i] = static_cast<uint8_t>(i * 13);
      dest[i] = static_cast<uint8_t>(i * 29 + 5);
      weight[i] = static_cast<uint8_t>(i / 3);
    }
    Bytes want = dest;
    for (size_t i = 0; i < want.size(); ++i)
      want[i] = mix(source[i], dest[i], weight[i] * alpha / 255);
    kernels::mix_weighted(dest.data(), source.data(), weight.data(), kBytes, alpha);
    ASSERT_EQ(first_difference(dest, want), "") << "opacity " << alpha;
  }
}

// Tint, monochrome, text and shadow: every (pixel byte, weight) pair.
TEST_P(PixelKernels, TintMonochromeTextAndShadow) {
  constexpr size_t kPixels = 256 * 3 + 2;
  Bytes p(kPixels * 3), colour(kPixels * 3), alpha(kPixels);
  for (int w = 0; w < 256; ++w) {
    for (size_t i = 0; i < p.size(); ++i) {
      p[i] = static_cast<uint8_t>(i / 3 + i % 3 * 40);
      colour[i] = static_cast<uint8_t>(i * 31);
    }
    for (size_t i = 0; i < kPixels; ++i) alpha[i] = static_cast<uint8_t>(i == 0 ? 0 : w + i);
    const int t[3] = {w, 255 - w, w ^ 0x55};

    Bytes tinted = p, want = p;
    for (size_t i = 0; i < p.size(); ++i) want[i] = static_cast<uint8_t>(p[i] * t[i % 3] / 255);
    kernels::tint(tinted.data(), kPixels, t[0], t[1], t[2]);
    ASSERT_EQ(first_difference(tinted, want), "") << "tint " << w;

    Bytes mono = p;
    for (size_t i = 0; i < p.size(); ++i) {
      const size_t px = i / 3 * 3;
      want[i] = static_cast<uint8_t>((p[px] + p[px + 1] + p[px + 2]) / 3 * t[i % 3] / 255);
    }
    kernels::monochrome(mono.data(), kPixels, t[0], t[1], t[2]);
    ASSERT_EQ(first_difference(mono, want), "") << "monochrome " << w;

    Bytes text = p;
    for (size_t i = 0; i < p.size(); ++i) {
      const int a = alpha[i / 3];
      want[i] =
          a == 0 ? p[i] : static_cast<uint8_t>(std::min(255, p[i] * (255 - a) / 255 + colour[i]));
    }
    kernels::text_over(text.data(), colour.data(), alpha.data(), kPixels);
    ASSERT_EQ(first_difference(text, want), "") << "text " << w;

    Bytes shaded = p;
    for (size_t i = 0; i < p.size(); ++i)
      want[i] = static_cast<uint8_t>(p[i] * (255 - alpha[i / 3]) / 255);
    kernels::shade(shaded.data(), alpha.data(), kPixels);
    ASSERT_EQ(first_difference(shaded, want), "") << "shade " << w;

    // The text window's one pass: tint, then the shadow (the alphas shifted
    // by one pixel), then the text; again with stretches of 256 pixels that
    // have only shadow, only text, or neither.
    const uint8_t tint_bytes[3] = {static_cast<uint8_t>(t[0]), static_cast<uint8_t>(t[1]),
                                   static_cast<uint8_t>(t[2])};
    for (int sparse = 0; sparse < 2; ++sparse) {
      if (sparse == 1) {
        std::fill(alpha.begin() + 257, alpha.end(), 0);
        alpha[768] = static_cast<uint8_t>(w | 1);
      }
      Bytes fused = p, apart = p;
      kernels::window_text(fused.data(), colour.data(), alpha.data() + 1, kPixels - 1, true,
                           tint_bytes);
      kernels::tint(apart.data(), kPixels - 1, t[0], t[1], t[2]);
      kernels::shade(apart.data(), alpha.data(), kPixels - 1);
      kernels::text_over(apart.data(), colour.data(), alpha.data() + 1, kPixels - 1);
      ASSERT_EQ(first_difference(fused, apart), "") << "window " << w << " sparse " << sparse;
    }
  }
}

// The monochrome mean for every channel sum 0..765.
TEST_P(PixelKernels, MonochromeMeanOfEverySum) {
  Bytes p;
  for (int sum = 0; sum <= 765; ++sum) {
    const int b = std::min(sum, 255), g = std::min(sum - b, 255), r = sum - b - g;
    p.insert(p.end(), {static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r)});
  }
  Bytes want(p.size());
  for (size_t i = 0; i < p.size(); ++i) want[i] = static_cast<uint8_t>(i / 3 / 3);
  kernels::monochrome(p.data(), p.size() / 3, 255, 255, 255);
  EXPECT_EQ(first_difference(p, want), "");
}

// Mask wipe and mask crossfade: every (threshold, mask) pair, each step
// after one at half the threshold; then long stretches of mask 0 and of
// mask 255, which arrive at once or stay behind.
TEST_P(PixelKernels, MaskTransitions) {
  constexpr size_t kPixels = 256 * 3 + 1;
  Bytes mask(kPixels * 3), scene(kPixels * 3), old(kPixels * 3);
  for (size_t i = 0; i < mask.size(); ++i) {
    const size_t p = i / 3;
    const size_t m = p < 256 ? p : p < 512 ? 0 : p < 768 ? 255 : 100;
    mask[i] = i % 3 == 0 ? static_cast<uint8_t>(m) : static_cast<uint8_t>(i * 11);
    scene[i] = static_cast<uint8_t>(i * 7 + 3);
    old[i] = static_cast<uint8_t>(255 - i * 5);
  }
  // The crossfade takes each pixel's first byte in all three.
  Bytes grey = mask;
  for (size_t i = 0; i < grey.size(); i += 3) grey[i + 1] = grey[i + 2] = grey[i];
  const auto fade = [&](int threshold) {
    Bytes out(old.size());
    for (size_t i = 0; i < out.size(); ++i)
      out[i] = mix(scene[i], old[i], std::clamp(threshold - mask[i / 3 * 3], 0, 255));
    return out;
  };
  for (int threshold = 0; threshold < 512; ++threshold) {
    const int previous = threshold / 2 - 1;
    if (threshold < 256) {
      Bytes screen = old, want = old;
      for (size_t i = 0; i < want.size(); ++i) {
        const int m = mask[i / 3 * 3];
        if (m > previous && m <= threshold) want[i] = scene[i];
      }
      kernels::reveal(screen.data(), scene.data(), mask.data(), kPixels, previous, threshold);
      ASSERT_EQ(first_difference(screen, want), "") << "wipe " << threshold;
    }
    Bytes screen = previous < 0 ? old : fade(previous);
    kernels::mask_fade(screen.data(), old.data(), scene.data(), grey.data(), kPixels, previous,
                       threshold);
    ASSERT_EQ(first_difference(screen, fade(threshold)), "") << "fade " << threshold;
  }
}

std::string target_label(const testing::TestParamInfo<int64_t>& info) {
  std::string name = kernels::target_name(info.param);
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
      '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(EveryTarget, PixelKernels, testing::ValuesIn(kernels::available_targets()),
                         target_label);

}  // namespace
}  // namespace vellumite
