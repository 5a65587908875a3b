// The rarer BMP kinds and the limits on what one picture, and all pictures
// together, may take.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "graphics/bmp.h"
#include "graphics/graphics_state.h"
#include "support/bmp_file.h"
#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

using namespace std::string_literals;

BmpRead read(Surface& s, const BmpFields& fields, BmpLimits limits = {}) {
  return read_bmp(s, build_bmp(fields), limits);
}

// Entry i is red i * 30, green i * 20, blue i * 10 (each modulo 256).
std::vector<uint32_t> palette(int entries) {
  std::vector<uint32_t> out;
  for (uint32_t i = 0; i < uint32_t(entries); ++i)
    out.push_back((i * 30 & 0xFF) << 16 | (i * 20 & 0xFF) << 8 | (i * 10 & 0xFF));
  return out;
}

// An RLE8 picture whose data ends at once: all black.
BmpFields rle8(int32_t width, int32_t height) {
  return {.width = width,
          .height = height,
          .bits = 8,
          .compression = 1,
          .palette = palette(256),
          .pixels = {0, 1}};
}

TEST(BmpKinds, TwoBitPixelsAndTheShortOs2Header) {
  Surface s;
  // 2 bits: five pixels 0 1 2 3 1 in one row, padded to 4 bytes.
  ASSERT_EQ(read(s, {.width = 5, .bits = 2, .palette = palette(4), .pixels = {0x1B, 0x40, 0, 0}}),
            BmpRead::Decoded);
  EXPECT_EQ(s.bit_count(), 8);
  EXPECT_EQ(std::string(s.bits.begin(), s.bits.begin() + 5), "\0\1\2\3\1"s);
  EXPECT_EQ(s.color_table[3].red, 90);
  // The 16-byte OS/2 header: 8 bits, rows bottom-up, 4-byte colour entries.
  ASSERT_EQ(read(s, {.header_size = 16,
                     .width = 2,
                     .height = 2,
                     .bits = 8,
                     .palette = palette(256),
                     .pixels = {7, 9, 0, 0, 5, 6, 0, 0}}),
            BmpRead::Decoded);
  EXPECT_EQ(s.width, 2);
  EXPECT_EQ(s.row(0)[0], 5);  // the top row is stored second
  EXPECT_EQ(s.row(1)[1], 9);
  EXPECT_EQ(s.color_table[9].green, 180);
}

TEST(BmpKinds, UndecodedKindsAreBlackAtTheDeclaredSize) {
  const BmpFields kinds[] = {
      {.width = 3, .height = 2, .bits = 24, .compression = 4},                     // JPEG inside
      {.width = 3, .height = 2, .bits = 24, .compression = 5},                     // PNG inside
      {.width = 3, .height = 2, .bits = 64},                                       // 64-bit pixels
      {.header_size = 64, .width = 3, .height = 2, .bits = 1, .compression = 3},   // Huffman 1D
      {.header_size = 64, .width = 3, .height = 2, .bits = 24, .compression = 4},  // 24-bit runs
      {.header_size = 56, .width = 3, .height = 2, .bits = 32, .compression = 6},  // alpha masks
  };
  for (BmpFields kind : kinds) {
    Surface s;
    kind.pixels = bytes_of("\xFF\xD8\xFF\xE0 some data");
    ASSERT_EQ(read(s, kind), BmpRead::LeftBlack) << kind.bits << " " << kind.compression;
    EXPECT_EQ((std::array{s.width, s.height, s.bit_count()}), (std::array{3, 2, 24}));
    EXPECT_EQ(std::count(s.bits.begin(), s.bits.end(), 0), 24);
  }
  Surface s;  // still refused: no size, an unknown kind
  EXPECT_EQ(read(s, {.width = 0, .compression = 4}), BmpRead::Failed);
  EXPECT_EQ(read(s, {.compression = 7}), BmpRead::Failed);
}

TEST(BmpKinds, PictureLimits) {
  Surface s;
  EXPECT_EQ(read(s, rle8(16384, 1)), BmpRead::Decoded);
  EXPECT_EQ(read(s, rle8(16385, 1)), BmpRead::Failed);
  // 9000 x 10000 black 24-bit pixels would take 270 000 000 bytes.
  EXPECT_EQ(read(s, {.width = 9000, .height = 10000, .compression = 5}), BmpRead::Failed);
  EXPECT_TRUE(s.empty());
  // Uncompressed rows must be in the file.
  EXPECT_EQ(read(s, {.width = 16384, .height = 16384, .bits = 8, .palette = palette(256)}),
            BmpRead::Failed);
  // A caller's byte limit: 100 x 100 24-bit pixels take 30 000 bytes.
  const BmpFields plain = {.width = 100, .height = 100, .pixels = Bytes(30000, 1)};
  EXPECT_EQ(read(s, plain, {.max_bytes = 29999}), BmpRead::Failed);
  EXPECT_EQ(read(s, plain, {.max_bytes = 30000}), BmpRead::Decoded);

  // What all pictures together may still take: 1 GiB less the five 640x480
  // screens and the 128x128 glyph buffer, less each picture loaded.
  GraphicsState g;
  create_screen_pictures(g);
  EXPECT_EQ(picture_budget(g), 1069084672u);
  create_blank(g.layers.sprites[200].picture, 1000, 1000, 24);
  EXPECT_EQ(picture_budget(g), 1066084672u);
}

TEST(BmpKinds, GamesGoOnPastUndecodedPictures) {
  GameDir dir;
  auto write = [&](const char* name, const BmpFields& fields) {
    const Bytes file = build_bmp(fields);
    dir.write_bytes(name, std::string(file.begin(), file.end()));
  };
  write("jpeg.bmp", {.width = 640, .height = 480, .compression = 4, .pixels = {0xFF, 0xD8}});
  write("huge.bmp", rle8(16385, 1));
  dir.write_text("0.txt",
                 "*define\ngame\n*start\nbg #ffffff,1\nbg \"jpeg.bmp\",1\nmov %1,1\n"
                 "bg \"huge.bmp\",1\nend\n");
  ::testing::internal::CaptureStderr();
  RunResult r = run_game(dir);
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(r.num(1), 1);
  EXPECT_EQ(r.pixels[0], 0);  // black, where the white background was
  EXPECT_NE(log.find("jpeg.bmp"), std::string::npos) << log;
  // A picture past the limits fails to load.
  EXPECT_EQ(only_error(r), "エラー|ロード失敗!");
}

}  // namespace
}  // namespace vellumite::testing
