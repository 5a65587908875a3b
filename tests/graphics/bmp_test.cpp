// Reading and writing BMP files, built byte by byte (support/bmp_file.h).
#include "graphics/bmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/bmp_file.h"
#include "support/pixels.h"

namespace vellumite::testing {
namespace {

uint32_t test_color(int x, int y) { return uint32_t(0x102030 + x * 0x010000 + y * 0x000101); }

BmpFields rgb24(int32_t width, int32_t height, bool top_down = false) {
  return {.width = width,
          .height = top_down ? -height : height,
          .pixels = pack_rows(width, height, 24, top_down, test_color)};
}

// A paletted picture of index(x, y), bottom-up.
BmpFields paletted(int bits, int32_t width, int32_t height, std::vector<uint32_t> palette,
                   const std::function<uint32_t(int, int)>& index) {
  return {.width = width,
          .height = height,
          .bits = uint16_t(bits),
          .palette = std::move(palette),
          .pixels = pack_rows(width, height, bits, false, index)};
}

// One row of bit-field pixels.
BmpFields masked(uint16_t bits, std::vector<uint32_t> masks, Bytes pixels, uint32_t header = 40) {
  const auto width = int32_t(pixels.size() / (bits / 8));
  return {.header_size = header,
          .width = width,
          .bits = bits,
          .compression = 3,
          .masks = std::move(masks),
          .pixels = std::move(pixels)};
}

void expect_test_picture(const Surface& s, int32_t width, int32_t height) {
  ASSERT_EQ(s.width, width);
  ASSERT_EQ(s.height, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) ASSERT_EQ(rgb_at(s, x, y), test_color(x, y)) << x << "," << y;
  }
}

bool decode(Surface& s, const BmpFields& spec) { return decode_bmp(s, build_bmp(spec)); }

TEST(BmpRead, DepthsAndRowOrders) {
  Surface s, t;
  ASSERT_TRUE(decode(s, rgb24(3, 2)));
  expect_test_picture(s, 3, 2);
  EXPECT_EQ(s.bit_count(), 24);
  EXPECT_EQ(s.image_size, 24u);  // 9-byte rows padded to 12
  // A negative height stores the top row first; the surface is bottom-up.
  ASSERT_TRUE(decode(t, rgb24(3, 2, true)));
  expect_test_picture(t, 3, 2);
  EXPECT_EQ(t.bits, s.bits);
  EXPECT_EQ(s.bits[0], uint8_t(test_color(0, 1)));  // memory row 0 is the bottom row

  // 1, 4 and 8 bits become 8-bit with a 256-entry palette, black beyond
  // the file's colours.
  for (int bits : {1, 4, 8}) {
    const int colors = 1 << bits;
    auto index = [colors](int x, int y) { return uint32_t((x * 3 + y) % colors); };
    BmpFields spec = paletted(bits, 11, 3, {}, index);
    for (int i = 0; i < colors; ++i) spec.palette.push_back(0x010203u * uint32_t(i + 1));
    ASSERT_TRUE(decode(s, spec)) << bits;
    EXPECT_EQ(s.bit_count(), 8);
    ASSERT_EQ(s.color_table.size(), 256u);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 11; ++x) {
        ASSERT_EQ(s.row(y)[x], index(x, y)) << bits;
        ASSERT_EQ(rgb_at(s, x, y), spec.palette[index(x, y)]) << bits;
      }
    }
    if (colors < 256) {
      EXPECT_EQ(s.color_table[colors].red, 0) << bits;
    }
  }

  // 16 bits without masks are 5-5-5; 5 bits scale to 8 (16 -> 131).
  ASSERT_TRUE(
      decode(s, {.width = 3, .bits = 16, .pixels = {0, 0x7C, 0xE0, 0x03, 0x10, 0x42, 0, 0}}));
  EXPECT_EQ(s.bit_count(), 24);
  EXPECT_EQ(rgb_at(s, 0, 0), 0xFF0000u);
  EXPECT_EQ(rgb_at(s, 1, 0), 0x00FF00u);
  EXPECT_EQ(rgb_at(s, 2, 0), 0x838383u);
  // 32 bits: blue, green, red and an ignored byte.
  ASSERT_TRUE(decode(s, {.width = 2, .bits = 32, .pixels = {0x11, 0x22, 0x33, 0xFF, 4, 5, 6, 0}}));
  EXPECT_EQ(rgb_at(s, 0, 0), 0x332211u);
  EXPECT_EQ(rgb_at(s, 1, 0), 0x060504u);
  // Bit fields: 5-6-5 with the masks behind a 40-byte header or inside a
  // larger one; any order; a zero mask is black; 4 bits scale up, 10 bits
  // keep their top 8.
  for (uint32_t header : {40u, 108u, 124u}) {
    ASSERT_TRUE(decode(s, masked(16, {0xF800, 0x07E0, 0x001F}, {0xE0, 0x07, 0x1F, 0}, header)));
    EXPECT_EQ(rgb_at(s, 0, 0), 0x00FF00u) << header;
    EXPECT_EQ(rgb_at(s, 1, 0), 0x0000FFu) << header;
  }
  ASSERT_TRUE(decode(s, masked(32, {0xFF, 0, 0xF0000000}, {0x7F, 0x12, 0x34, 0xA0})));
  EXPECT_EQ(rgb_at(s, 0, 0), 0x7F00AAu);
  ASSERT_TRUE(
      decode(s, masked(32, {0x3FF00000, 0x000FFC00, 0x000003FF}, {0x01, 0x00, 0xF8, 0x3F})));
  EXPECT_EQ(rgb_at(s, 0, 0), 0xFF8000u);
}

TEST(BmpRead, HeaderSizesOffsetsAndColourCounts) {
  Surface s;
  for (uint32_t header : {12u, 40u, 52u, 56u, 108u, 124u}) {
    BmpFields spec = rgb24(5, 3);
    spec.header_size = header;
    ASSERT_TRUE(decode(s, spec)) << header;
    expect_test_picture(s, 5, 3);
  }
  // The core header's colour table has three bytes an entry.
  BmpFields core = {.header_size = 12, .width = 2, .bits = 8, .pixels = {1, 255, 0, 0}};
  core.palette.assign(256, 0);
  core.palette[1] = 0x123456;
  core.palette[255] = 0xABCDEF;
  ASSERT_TRUE(decode(s, core));
  EXPECT_EQ(rgb_at(s, 0, 0), 0x123456u);
  EXPECT_EQ(rgb_at(s, 1, 0), 0xABCDEFu);

  // A gap before the pixels is skipped; offsets of 0, inside the headers or
  // past the end fall back to the pixels directly behind the colour table.
  BmpFields gap = rgb24(4, 2);
  gap.gap = 37;
  ASSERT_TRUE(decode(s, gap));
  expect_test_picture(s, 4, 2);
  for (uint32_t offset : {0u, 20u, 1000000u}) {
    BmpFields lying = rgb24(4, 2);
    lying.offset = offset;
    ASSERT_TRUE(decode(s, lying)) << offset;
    expect_test_picture(s, 4, 2);
  }

  // An 8-bit file that stores 2 colours without saying so: the offset
  // bounds the table. One that says 2: the rest is black either way.
  for (uint32_t used : {0u, 2u}) {
    BmpFields two = paletted(8, 2, 1, {0x0000FF, 0x00FF00}, [](int x, int) { return x + 1u; });
    two.colors_used = used;
    ASSERT_TRUE(decode(s, two));
    EXPECT_EQ(rgb_at(s, 0, 0), 0x00FF00u);
    EXPECT_EQ(rgb_at(s, 1, 0), 0u);
  }
  // Colours used beyond the palette is bounded to it, with or without an
  // offset to go by.
  for (uint32_t offset : {0u, 62u}) {
    BmpFields mono = paletted(1, 2, 1, {0x000000, 0xFFFFFF}, [](int x, int) { return x + 0u; });
    mono.colors_used = 300;
    mono.offset = offset;
    ASSERT_TRUE(decode(s, mono));
    EXPECT_EQ(rgb_at(s, 1, 0), 0xFFFFFFu) << offset;
  }
}

// RLE codes.
Bytes run(uint8_t count, uint8_t value) { return {count, value}; }
const Bytes kEndOfLine = {0, 0};
const Bytes kEndOfBitmap = {0, 1};
Bytes delta(uint8_t dx, uint8_t dy) { return {0, 2, dx, dy}; }
Bytes literal(Bytes bytes, uint8_t count) {
  bytes.insert(bytes.begin(), {0, count});
  if (bytes.size() % 2) bytes.push_back(0);
  return bytes;
}
Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
BmpFields rle(int bits, int32_t width, int32_t height, Bytes data) {
  BmpFields spec = {.width = width,
                    .height = height,
                    .bits = uint16_t(bits),
                    .compression = bits == 8 ? 1u : 2u,
                    .pixels = std::move(data)};
  for (int i = 0; i < (1 << bits); ++i) spec.palette.push_back(uint32_t(i));
  return spec;
}
// The indices of the r-th row stored (0 = the bottom row).
std::vector<int> stored(const Surface& s, int r) {
  const uint8_t* p = s.row(s.height - 1 - r);
  return std::vector<int>(p, p + s.width);
}

TEST(BmpRead, RunLengthEncoded) {
  Surface s;
  ASSERT_TRUE(decode(s, rle(8, 6, 4,
                            cat({run(2, 7), literal({1, 2, 3}, 3), kEndOfLine,  //
                                 run(10, 9), kEndOfLine,  // clipped at the width, not wrapped
                                 delta(3, 1), run(2, 4), kEndOfBitmap}))));
  EXPECT_EQ(stored(s, 0), (std::vector<int>{7, 7, 1, 2, 3, 0}));
  EXPECT_EQ(stored(s, 1), (std::vector<int>{9, 9, 9, 9, 9, 9}));
  EXPECT_EQ(stored(s, 2), (std::vector<int>{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(stored(s, 3), (std::vector<int>{0, 0, 0, 4, 4, 0}));

  // RLE4: runs alternate the two nibbles; literals are padded to words.
  ASSERT_TRUE(decode(s, rle(4, 5, 3,
                            cat({run(5, 0x12), kEndOfLine,  //
                                 literal({0x34, 0x50}, 3), delta(1, 0), run(1, 0xF0), kEndOfLine,
                                 delta(2, 0), run(2, 0x77), kEndOfBitmap}))));
  EXPECT_EQ(s.palette_entries, 256);
  EXPECT_EQ(stored(s, 0), (std::vector<int>{1, 2, 1, 2, 1}));
  EXPECT_EQ(stored(s, 1), (std::vector<int>{3, 4, 5, 0, 15}));
  EXPECT_EQ(stored(s, 2), (std::vector<int>{0, 0, 7, 7, 0}));

  // An early end of bitmap, or data ending between codes: the rest is 0.
  for (const Bytes& early :
       {cat({run(6, 5), kEndOfBitmap, run(6, 1)}), cat({run(6, 5), kEndOfLine})}) {
    ASSERT_TRUE(decode(s, rle(8, 6, 2, early)));
    EXPECT_EQ(stored(s, 0), (std::vector<int>{5, 5, 5, 5, 5, 5}));
    EXPECT_EQ(stored(s, 1), (std::vector<int>{0, 0, 0, 0, 0, 0}));
  }
  // Top-down rows; moves, runs and literals that leave the picture.
  BmpFields top = rle(8, 2, 2, cat({run(1, 3), kEndOfLine, run(2, 8)}));
  top.height = -2;
  ASSERT_TRUE(decode(s, top));
  EXPECT_EQ(s.row(0)[0], 3);
  EXPECT_EQ(s.row(1)[1], 8);
  ASSERT_TRUE(decode(s, rle(8, 3, 2,
                            cat({delta(255, 0), run(5, 1), literal({1, 2, 3, 4, 5}, 5),
                                 delta(0, 255), run(255, 2), kEndOfBitmap}))));
  EXPECT_EQ(stored(s, 0), (std::vector<int>{0, 0, 0}));
  // Data that stops inside a code is truncated.
  for (const Bytes& cut : {Bytes{0, 2, 1}, Bytes{0, 5, 1, 2}, Bytes{4}}) {
    EXPECT_FALSE(decode(s, rle(8, 6, 4, cut)));
    EXPECT_TRUE(s.empty());
  }
}

TEST(BmpRead, TruncatedFilesFailWithoutReadingPastTheEnd) {
  const std::pair<BmpFields, bool> files[] = {
      // file, uncompressed
      {rgb24(5, 4), true},
      {paletted(8, 3, 3, std::vector<uint32_t>(256, 7),
                [](int x, int y) { return uint32_t(x + y); }),
       true},
      {paletted(1, 9, 2, {0, 0xFFFFFF}, [](int x, int) { return uint32_t(x % 2); }), true},
      {{.header_size = 124,
        .width = 3,
        .height = 2,
        .bits = 16,
        .compression = 3,
        .masks = {0xF800, 0x07E0, 0x001F},
        .pixels = pack_rows(3, 2, 16, false, [](int x, int) { return uint32_t(x * 999); })},
       true},
      {rle(8, 4, 2, cat({run(4, 1), kEndOfLine, literal({1, 2, 3}, 3), kEndOfBitmap})), false},
  };
  for (const auto& [spec, uncompressed] : files) {
    const Bytes file = build_bmp(spec);
    Surface whole;
    ASSERT_TRUE(decode_bmp(whole, file));
    for (size_t length = 0; length < file.size(); ++length) {
      // Exactly `length` bytes, so the sanitizer sees any read behind them.
      Bytes prefix(file.begin(), file.begin() + std::ptrdiff_t(length));
      Surface s;
      bool ok = decode_bmp(s, prefix);
      EXPECT_EQ(ok, !s.empty());
      if (uncompressed && ok) {
        EXPECT_GE(length + 3, file.size()) << length;  // only the last row's padding missing
        EXPECT_EQ(s.bits, whole.bits);
      }
    }
  }
}

TEST(BmpRead, MalformedHeadersFail) {
  const Bytes good = build_bmp(rgb24(4, 4));
  auto with = [&](size_t at, uint32_t v, int bytes = 4) {
    Bytes b = good;
    for (int i = 0; i < bytes; ++i) b[at + i] = uint8_t(v >> (8 * i));
    return b;
  };
  Bytes huge = with(18, 100000);
  for (int i = 0; i < 4; ++i) huge[22 + i] = uint8_t(100000 >> (8 * i));
  Bytes short_v5 = with(14, 124);
  short_v5.resize(100);
  const std::pair<const char*, Bytes> cases[] = {
      {"empty", {}},
      {"file header only", Bytes(good.begin(), good.begin() + 14)},
      {"width 0", with(18, 0)},
      {"negative width", with(18, uint32_t(-4))},
      {"height 0", with(22, 0)},
      {"most negative height", with(22, 0x80000000u)},
      {"100000 x 100000", huge},
      {"bit count 7", with(28, 7, 2)},
      {"bit count 0", with(28, 0, 2)},
      {"unknown compression", with(30, 99)},
      {"RLE8 on 24 bits", with(30, 1)},
      {"RLE4 on 24 bits", with(30, 2)},
      {"bit fields on 24 bits", with(30, 3)},
      {"header size 20", with(14, 20)},
      {"header size 0", with(14, 0)},
      {"header larger than the file", with(14, 0xFFFFFFF0u)},
      {"124-byte header cut short", short_v5},
  };
  for (const auto& [what, bytes] : cases) {
    Surface s;
    create_blank(s, 2, 2, 24);  // the old content goes either way
    EXPECT_FALSE(decode_bmp(s, bytes)) << what;
    EXPECT_TRUE(s.empty()) << what;
  }

  Surface s;
  // Lying colours-used and image-size fields alone do no harm.
  EXPECT_TRUE(decode_bmp(s, with(46, 0xFFFFFFFFu)));
  EXPECT_TRUE(decode_bmp(s, with(34, 0xFFFFFFFFu)));
  // The size limit, which a caller may lower. A tiny RLE file may describe a
  // big picture; rows its data never reaches are black.
  EXPECT_FALSE(decode_bmp(s, build_bmp(rgb24(100, 100)), 9999));
  EXPECT_TRUE(decode_bmp(s, build_bmp(rgb24(100, 100)), 10000));
  const Bytes big = build_bmp(rle(8, 4000, 4000, cat({run(1, 9), kEndOfBitmap})));
  EXPECT_FALSE(decode_bmp(s, big, 1000000));
  ASSERT_TRUE(decode_bmp(s, big));
  EXPECT_EQ(s.row(3999)[0], 9);
  EXPECT_EQ(s.row(0)[0], 0);
}

TEST(BmpWrite, LayoutAndRoundTrip) {
  Surface screen;
  ASSERT_TRUE(create_blank(screen, 640, 480, 24));
  screen.bits[5] = 0x7F;
  const std::string file = encode_bmp(screen);
  ASSERT_EQ(file.size(), 54u + 921600u);
  auto field = [&](size_t at, int bytes = 4) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | uint8_t(file[at + i]);
    return v;
  };
  EXPECT_EQ(file.substr(0, 2), "BM");
  const std::pair<size_t, uint32_t> fields[] = {
      {2, 54 + 921600}, {6, 0},    {10, 54}, {14, 40},
      {18, 640},        {22, 480}, {30, 0},  {34, 0},  // image size
      {46, 0},                                         // colours used
      {50, 0},                                         // colours important
  };
  for (auto [at, value] : fields) EXPECT_EQ(field(at), value) << at;
  EXPECT_EQ(field(26, 2), 1u);   // planes
  EXPECT_EQ(field(28, 2), 24u);  // bit count
  EXPECT_EQ(file[54 + 5], 0x7F);
  EXPECT_TRUE(encode_bmp(Surface{}).empty());

  // Back through the reader.
  Surface original, back;
  ASSERT_TRUE(decode(original, rgb24(7, 5)));
  const std::string whole = encode_bmp(original);
  EXPECT_EQ(whole.size(), 54u + 24u * 5u);  // 21-byte rows padded to 24
  ASSERT_TRUE(decode_bmp(back, Bytes(whole.begin(), whole.end())));
  expect_test_picture(back, 7, 5);

  // A paletted surface keeps its colours.
  BmpFields eight = {
      .width = 3, .bits = 8, .palette = std::vector<uint32_t>(256, 0), .pixels = {200, 0, 200, 0}};
  eight.palette[200] = 0x00C0FF;
  ASSERT_TRUE(decode(original, eight));
  const std::string paletted = encode_bmp(original);
  EXPECT_EQ(paletted.size(), 54u + 1024u + 4u);
  ASSERT_TRUE(decode_bmp(back, Bytes(paletted.begin(), paletted.end())));
  EXPECT_EQ(rgb_at(back, 2, 0), 0x00C0FFu);

  // Bytes that are no picture: nothing loaded.
  const std::string junk = "not a picture";
  EXPECT_EQ(read_bmp(back, Bytes(junk.begin(), junk.end())), BmpRead::Failed);
  EXPECT_TRUE(back.empty());
}

}  // namespace
}  // namespace vellumite::testing
