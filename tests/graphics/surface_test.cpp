// Surfaces and pictures: blank surfaces, cell geometry, the reset of a
// picture, fills, block copies and the blend table.
#include "graphics/surface.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <tuple>
#include <vector>

#include "game/graphics/picture.h"
#include "graphics/graphics_state.h"
#include "support/pixels.h"

namespace vellumite {
namespace {

using testing::rgb_at;

TEST(Surface, CreateBlankSizesStridesAndPalettes) {
  Surface s;
  ASSERT_TRUE(create_blank(s, 640, 480, 24));
  // stride, image size, bytes, palette entries, header size, width, height, planes
  EXPECT_EQ(
      (std::array<int64_t, 8>{s.stride(), s.image_size, int64_t(s.bits.size()), s.palette_entries,
                              s.info.size, s.info.width, s.info.height, s.info.planes}),
      (std::array<int64_t, 8>{1920, 921600, 921600, 0, 40, 640, 480, 1}));
  // Picture row 0 is the last row in memory.
  EXPECT_EQ(s.row(0), s.bits.data() + 479 * 1920);
  EXPECT_EQ(s.row(479), s.bits.data());

  const struct {
    int bits, width, stride, entries;
  } kinds[] = {{1, 33, 8, 2},  {4, 9, 8, 16}, {8, 5, 8, 256}, {16, 3, 8, 0},
               {24, 5, 16, 0}, {32, 1, 4, 0}, {7, 10, 12, 2}};
  for (const auto& k : kinds) {
    ASSERT_TRUE(create_blank(s, k.width, 2, k.bits)) << k.bits;
    EXPECT_EQ((std::array<int64_t, 4>{s.stride(), s.image_size, s.palette_entries,
                                      int64_t(s.color_table.size())}),
              (std::array<int64_t, 4>{k.stride, k.stride * 2, k.entries, k.entries}))
        << k.bits;
  }

  // Refusals leave the surface empty, old content gone.
  const std::tuple<int, int, int> refused[] = {
      {0, 1, 24}, {1, -1, 24}, {1, 1, 0}, {1, 1, 33}, {20000, 20000, 24}};
  for (auto [w, h, bits] : refused) {
    ASSERT_TRUE(create_blank(s, 4, 4, 24));
    EXPECT_FALSE(create_blank(s, w, h, bits));
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s.width, 0);
  }
}

TEST(Surface, BlendTableIsFlooredProduct) {
  // 128 x 128 / 255 = 64.25, 254 x 254 / 255 = 253.0039
  const std::array<int, 3> products[] = {{255, 77, 77},  {77, 255, 77},   {0, 200, 0},
                                         {128, 128, 64}, {254, 254, 253}, {1, 254, 0}};
  for (auto [a, b, p] : products) EXPECT_EQ(blend_table()[a][b], p) << a << " " << b;
}

TEST(SurfacePicture, CellGeometryAndIntervals) {
  Picture p;
  create_blank(p, 200, 100, 24);
  p.trans_mode = kTransAlpha;
  p.cells = 2;
  // Each 100-wide cell: 50 colour, 50 mask.
  EXPECT_EQ(std::tuple(cell_width(p), cell_left(p, 1), picture_height(p)),
            std::tuple(50, 100, 100));
  p.trans_mode = kTransCopy;
  p.cells = 3;  // a cell beyond the last stays on it
  EXPECT_EQ(std::tuple(cell_width(p), cell_left(p, 2), cell_left(p, 7)), std::tuple(66, 132, 132));
  // A cell count that is not positive counts as one cell.
  p.cells = 0;
  EXPECT_EQ(std::tuple(cell_width(p), cell_left(p, 1)), std::tuple(200, 0));

  p.cells = 3;
  p.interval = 160;
  EXPECT_EQ(cell_interval(p, 2), 160);
  p.interval = -1;
  p.cell_intervals = {100, 200, 300};
  EXPECT_EQ(std::tuple(cell_interval(p, 1), cell_interval(p, 3)), std::tuple(200, 0));
  p.cell_intervals.clear();  // -1 written as a plain timing
  EXPECT_EQ(cell_interval(p, 0), 0);

  Picture empty;
  EXPECT_EQ(cell_width(empty), 0);
  EXPECT_EQ(picture_height(empty), 0);
}

TEST(SurfacePicture, ResetKeepsTheKeyAndFreeKeepsTheSettings) {
  Picture p;
  p.anim_time = 99;
  p.anim_step = -1;
  p.key_colour.red = 1;
  p.key_index = 4;
  p.trans_mode = kTransAlpha;
  p.alpha = 128;
  p.cell = 2;
  p.cells = 3;
  p.interval = -1;
  p.cell_intervals = {1, 2, 3};
  p.loop_mode = kLoopReverse;
  create_blank(p, 4, 4, 24);
  free_picture(p);
  EXPECT_TRUE(p.empty());
  EXPECT_EQ(p.cells, 3);
  EXPECT_EQ(p.cell_intervals.size(), 3u);

  reset_picture(p);
  Picture fresh;
  fresh.key_colour.red = 1;
  fresh.key_index = 4;
  EXPECT_EQ(std::tie(p.anim_time, p.anim_step, p.key_colour, p.key_index, p.trans_mode, p.alpha,
                     p.cell, p.cells, p.interval, p.cell_intervals, p.loop_mode),
            std::tie(fresh.anim_time, fresh.anim_step, fresh.key_colour, fresh.key_index,
                     fresh.trans_mode, fresh.alpha, fresh.cell, fresh.cells, fresh.interval,
                     fresh.cell_intervals, fresh.loop_mode));
}

TEST(SurfacePicture, FillClipsAndFindsThePaletteEntry) {
  Picture p;
  create_blank(p, 4, 3, 24);
  fill_picture(p, 1, 1, 3, 2, Colour::from_rgb(0x112233));
  // Right and bottom are exclusive.
  EXPECT_EQ((std::array{rgb_at(p.surface, 1, 1), rgb_at(p.surface, 2, 1), rgb_at(p.surface, 3, 1),
                        rgb_at(p.surface, 1, 2), rgb_at(p.surface, 0, 0)}),
            (std::array<uint32_t, 5>{0x112233, 0x112233, 0, 0, 0}));

  fill_picture(p, -100, -100, 100, 100, {255, 255, 255});
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(rgb_at(p.surface, x, y), 0xFFFFFFu);
  }
  fill_picture(p, 3, 0, 1, 3, {});  // inverted: nothing
  EXPECT_EQ(rgb_at(p.surface, 2, 0), 0xFFFFFFu);

  // A paletted picture gets the nearest entry.
  Picture q;
  create_blank(q, 2, 1, 8);
  q.surface.color_table[9] = PaletteEntry{0, 0, 250, 0};
  fill_picture(q, 0, 0, 2, 1, {240, 0, 0});  // nearly pure red
  EXPECT_EQ(q.surface.row(0)[0], 9);
  EXPECT_EQ(q.surface.row(0)[1], 9);

  Picture empty;
  fill_picture(empty, 0, 0, 10, 10, {});  // nothing to do
  EXPECT_TRUE(empty.empty());
}

TEST(SurfacePicture, BlitClipsConvertsAndHandlesOverlap) {
  Picture source;
  create_blank(source, 3, 3, 24);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) {
      fill_picture(source, x, y, x + 1, y + 1,
                   {0, 0, static_cast<uint8_t>(0x10 * (y * 3 + x + 1))});
    }
  }
  Picture dest;
  create_blank(dest, 4, 4, 24);
  // Negative destination corner: the source corner moves along.
  auto at = [](const Picture& p, std::initializer_list<std::pair<int, int>> points) {
    std::vector<uint32_t> out;
    for (auto [x, y] : points) out.push_back(rgb_at(p.surface, x, y));
    return out;
  };
  blit(dest, -1, -1, 10, 10, source, 0, 0);  // (0, 0) gets source (1, 1)
  EXPECT_EQ(at(dest, {{0, 0}, {1, 1}, {2, 2}}), (std::vector<uint32_t>{0x50, 0x90, 0}));
  // Negative source corner: the destination corner moves along.
  create_blank(dest, 4, 4, 24);
  blit(dest, 0, 0, 2, 2, source, -1, 0);
  EXPECT_EQ(at(dest, {{0, 0}, {1, 0}, {1, 1}}), (std::vector<uint32_t>{0, 0x10, 0x40}));
  // Extreme coordinates do nothing and do not overflow.
  blit(dest, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX, source, INT32_MAX, INT32_MIN);

  // 8-bit into 24-bit goes through the palette.
  Picture indexed;
  create_blank(indexed, 2, 1, 8);
  indexed.surface.color_table[3] = PaletteEntry{0x30, 0x20, 0x10, 0};
  indexed.surface.row(0)[1] = 3;
  blit(dest, 2, 3, 2, 1, indexed, 0, 0);
  EXPECT_EQ(at(dest, {{2, 3}, {3, 3}}), (std::vector<uint32_t>{0, 0x102030}));

  // Within one picture, overlapping downwards and rightwards.
  blit(source, 1, 1, 2, 2, source, 0, 0);
  EXPECT_EQ(at(source, {{1, 1}, {2, 1}, {1, 2}, {2, 2}}),
            (std::vector<uint32_t>{0x10, 0x20, 0x40, 0x50}));
}

}  // namespace
}  // namespace vellumite
