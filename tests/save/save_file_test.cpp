// The slot file: its bytes field by field, reading back, and what a short,
// foreign or unwritable file does.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "../support/le_bytes.h"
#include "../support/save_harness.h"
#include "game/save/save_slots.h"
#include "text/history.h"

namespace vellumite::testing {
namespace {

// A game with a different value in every field the format keeps.
void set_every_field(Engine& e) {
  TextWindow& w = e.text.window;
  // origin, columns, rows, font, pitch, speed, bold, shadow, colour, picture,
  // rectangle, cell, text colour, text mode, erase flag
  w = TextWindow{11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 2, 0x123456, "w.bmp",
                 20, 21, 22, 23, 0,  0,  1,  2,  3,  1, 0, false,    false};
  history_char(e.text.history, '\x82', '\xa0');
  history_page_end(e.text.history);
  e.text.menu.right_click_enabled = 0;
  e.text.cursors[0] = {"c0.bmp", 5, 7, false};
  e.text.cursors[1] = {"c1.bmp", 6, 8, true};
  e.graphics.effects.window_effect_type = 10;
  e.graphics.effects.window_effect_duration = 500;
  e.graphics.effects.window_effect_mask = "m.bmp";
  LayerState& l = e.graphics.layers;
  l.background_name = "#102030";
  l.standing[0].name = "l.bmp", l.standing[0].x = 1, l.standing[0].y = 4;
  l.standing[2].name = "r.bmp", l.standing[2].x = 3, l.standing[2].y = 6;
  l.standing[1].x = 2, l.standing[1].y = 5;
  l.sprites[3].name = "s.bmp", l.sprites[3].visible = 1, l.sprites[3].x = 30, l.sprites[3].y = 40;
  e.vars.num_vars[0] = -1;
  e.vars.str_vars[0] = "a";
  e.vars.num_vars[199] = 9;
  e.vars.str_vars[199] = "z";
  e.vars.num_vars[200] = 77;  // global: not in the file
  e.script.script_pos = 50;
  e.script.gosub_depth = 2;
  e.script.gosub_stack[0] = 10;
  e.script.gosub_stack[1] = 20;
  l.monocro_on = true;
  l.monocro_colour = {100, 110, 120};
  l.nega_mode = 1;
  AudioState& a = e.audio;
  a.midi_name = "m.mid", a.wave_name = "w.wav", a.cd_track = 3;
  a.midi_loop = true, a.wave_loop = false, a.cd_loop = true, a.mp3_loop = true;
  a.mp3_name = "a.mp3";
  e.graphics.bars[0] = {1, 2, 3, 4, 5, 6, Colour::from_rgb(7)};
  e.graphics.numbers[99] = {8, 9, 10, 11, 12, Colour::from_rgb(13)};
}

// The same game as the file must hold it, written out by hand.
std::string every_field_bytes() {
  LeBytes b;
  b.i32(1).i32(0).i32(2);
  b.str("\x82\xa0\\").i32(3).i32(1);  // history, its length, its pages
  b.i32(0);                           // rmode
  b.i32(1).i32(3).i32(2);             // red, blue, green
  b.str("c0.bmp").str("c1.bmp");
  b.i32(10).i32(500).str("m.bmp");
  for (int v = 11; v <= 18; ++v) b.i32(v);
  b.i32(0x123456).i32(19).i32(20).i32(21).i32(22).i32(23).str("w.bmp");
  b.i32(0).i32(1).i32(5).i32(6).i32(7).i32(8);  // relative 0/1, x 0/1, y 0/1
  b.str("#102030").str("l.bmp").str("").str("r.bmp");
  b.i32(1).i32(2).i32(3).i32(4).i32(5).i32(6);
  for (int s = 0; s < 256; ++s) {
    if (s == 3) {
      b.str("s.bmp").i32(30).i32(40).i32(1);
    } else {
      b.str("").i32(0).i32(0).i32(0);
    }
  }
  for (int n = 0; n < 200; ++n) {
    b.i32(n == 0 ? -1 : n == 199 ? 9 : 0).str(n == 0 ? "a" : n == 199 ? "z" : "");
  }
  b.i32(50).i32(2).i32(10).i32(20);
  b.i32(1).i32(120).i32(110).i32(100);  // monochrome: on, blue, green, red
  b.i32(1).str("m.mid").str("w.wav").i32(3);
  b.i32(1).i32(0).i32(1).i32(1).str("a.mp3");
  b.i32(0).i32(1);
  for (int g = 0; g < 100; ++g) {
    if (g == 0) {
      for (int v = 1; v <= 7; ++v) b.i32(v);
    } else {
      b.i32(0).i32(-1).i32(0).i32(0).i32(0).i32(0).i32(0);
    }
  }
  for (int g = 0; g < 100; ++g) {
    if (g == 99) {
      for (int v = 8; v <= 13; ++v) b.i32(v);
    } else {
      b.i32(0).i32(-1).i32(0).i32(0).i32(0).i32(0);
    }
  }
  return b.bytes;
}

size_t first_difference(const std::string& a, const std::string& b) {
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return i;
}

TEST(SaveFile, SnapshotHoldsEveryFieldInTheFormatsOrder) {
  SaveHarness h;
  set_every_field(h.e);
  state_snapshot(h.e);
  const std::string expected = every_field_bytes();
  EXPECT_EQ(h.e.save.snapshot.size(), expected.size());
  EXPECT_EQ(first_difference(h.e.save.snapshot, expected), expected.size());
}

TEST(SaveFile, LoadingRestoresTheSnapshotAndSavingWritesItAgain) {
  SaveHarness h;
  write_file(h.dir.path() / "save4.dat", every_field_bytes());
  h.e.vars.num_vars[200] = 5;
  ASSERT_TRUE(load_save(h.e, 4));
  // The history's length is its text's, not field 5; globals are not in slots.
  EXPECT_EQ(std::tuple(h.e.text.history.write_index, h.e.text.window.text_colour.blue,
                       h.e.vars.num_vars[200], h.e.script.gosub_depth,
                       h.e.graphics.layers.monocro_colour.blue),
            std::tuple(3u, uint8_t{3}, 5, 2, uint8_t{120}));
  // Up to the music (whose loops follow what really plays: these files are
  // missing), a snapshot taken now is the file again.
  state_snapshot(h.e);
  const std::string expected = every_field_bytes();
  EXPECT_GT(first_difference(h.e.save.snapshot, expected), expected.find("m.mid"));
  ASSERT_TRUE(write_save(h.e, 7));
  EXPECT_TRUE(h.file("save7.dat") == h.e.save.snapshot);
  EXPECT_NE(h.trace.str().find(" load 4\n"), std::string::npos);
  EXPECT_NE(h.trace.str().find(" save 7\n"), std::string::npos);
}

TEST(SaveFile, ShortFilesReadZeroAndEmptyForTheMissingTail) {
  const std::string whole = every_field_bytes();
  for (size_t cut :
       {size_t{0}, size_t{3}, size_t{9}, size_t{30}, whole.size() / 2, whole.size() - 1}) {
    SCOPED_TRACE(cut);
    SaveHarness h;
    set_every_field(h.e);
    write_file(h.dir.path() / "save1.dat", whole.substr(0, cut));
    ASSERT_TRUE(load_save(h.e, 1));
    if (cut < 30) {
      EXPECT_EQ(h.e.text.window.text_colour.red, 0);
    }
    if (cut < whole.size() / 2) {
      EXPECT_EQ(h.e.audio.midi_name, "");
    }
    if (cut >= 4) {  // a format other than 1 has no gauges or numbers to read
      EXPECT_EQ(h.e.graphics.numbers[99].colour.rgb(), 0u);
    }
  }
}

// Field 49 onwards, after the local variables: where the positions are.
std::string with_positions(int32_t pos, int32_t depth, int32_t entry) {
  std::string bytes = every_field_bytes();
  // Field 49 is found by its bytes: position 50, depth 2, entries 10 and 20.
  LeBytes tail;
  tail.i32(pos).i32(depth);
  for (int i = 0; i < depth && i < 2000; ++i) tail.i32(entry);
  return bytes.replace(bytes.find(LeBytes().i32(50).i32(2).i32(10).i32(20).bytes), 16, tail.bytes);
}

TEST(SaveFile, ImpossiblePositionsAndDepthsRefuseTheLoad) {
  struct Case {
    int32_t pos, depth, entry;
    bool loads;
  };
  for (const Case& c : {Case{99, 1, 0, true}, Case{100, 0, 0, false}, Case{-1, 0, 0, false},
                        Case{0, 1000, 99, true}, Case{0, 1001, 0, false}, Case{0, -1, 0, false},
                        Case{0, 1, 100, false}}) {
    SCOPED_TRACE(::testing::Message() << c.pos << " " << c.depth << " " << c.entry);
    SaveHarness h;
    h.e.vars.num_vars[0] = 42;
    write_file(h.dir.path() / "save2.dat", with_positions(c.pos, c.depth, c.entry));
    EXPECT_EQ(load_save(h.e, 2), c.loads);
    const bool box = h.trace.str().find("セーブデータが壊れています。") != std::string::npos;
    EXPECT_EQ(box, !c.loads);
    EXPECT_EQ(h.e.vars.num_vars[0], c.loads ? -1 : 42);  // refused: the game is untouched
  }
}

TEST(SaveFile, APictureTagThatCannotBeReadRefusesTheLoad) {
  for (const char* sprite : {":/3;x", ":l/3,160,2"}) {
    SaveHarness h;
    std::string bytes = every_field_bytes();
    bytes.replace(bytes.find("s.bmp"), 5, sprite);
    write_file(h.dir.path() / "save1.dat", bytes);
    EXPECT_FALSE(load_save(h.e, 1)) << sprite;
  }
}

TEST(SaveFile, AFailedWriteKeepsTheOldFile) {
  SaveHarness h;
  set_every_field(h.e);
  state_snapshot(h.e);
  write_file(h.dir.path() / "save2.dat", "old");
  // A write that fails (a full disk, a folder made read-only meanwhile) in
  // the game folder chosen at start-up.
  h.e.save.data_folder_chosen = true;
  h.platform.refuse_writes = true;
  EXPECT_FALSE(write_save(h.e, 2));
  EXPECT_EQ(h.file("save2.dat"), "old");
  EXPECT_EQ(h.trace.str().find(" save 2"), std::string::npos);
  h.platform.refuse_writes = false;
  EXPECT_TRUE(write_save(h.e, 2));
  EXPECT_TRUE(h.file("save2.dat") == every_field_bytes());
}

TEST(SaveFile, ALargeGameOutgrowsTheOldBufferAndStillRoundTrips) {
  SaveHarness h;
  for (int i = 0; i < 44000; ++i) history_char(h.e.text.history, '\x82', '\xa0');
  for (SpriteSlot& s : h.e.graphics.layers.sprites) s.name = std::string(251, 'q') + ".bmp";
  for (int n = 0; n < 200; ++n) h.e.vars.str_vars[static_cast<size_t>(n)] = std::string(300, 'v');
  state_snapshot(h.e);
  const std::string first = h.e.save.snapshot;
  EXPECT_GT(first.size(), 130000u);
  ASSERT_TRUE(write_save(h.e, 1));
  SaveHarness other;
  write_file(other.dir.path() / "save1.dat", first);
  ASSERT_TRUE(load_save(other.e, 1));
  state_snapshot(other.e);
  EXPECT_TRUE(other.e.save.snapshot == first);
}

}  // namespace
}  // namespace vellumite::testing
