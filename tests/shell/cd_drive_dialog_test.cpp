// The CD drive dialog: the folders it offers, what a choice changes in the
// music that plays, and the list drawn in the window.
#include "game/shell/cd_drive_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/audio/sound.h"
#include "game/engine.h"
#include "game/shell/dialogs.h"
#include "support/game_runner.h"
#include "support/sound_files.h"
#include "support/step_platform.h"

namespace vellumite::testing {
namespace {

using Strings = std::vector<std::string>;

// "cd" plays quietly, "cd2" loudly; "a" also holds a track, "none" none.
void write_drives(GameDir& dir) {
  const std::pair<const char*, double> tracks[] = {{"cd/track01.wav", 0.2},
                                                   {"cd2/track01.wav", 0.8},
                                                   {"a/track07.wav", 0.5},
                                                   {"none/track1.wav", 0.5}};
  for (auto [name, amplitude] : tracks) {
    std::filesystem::create_directories((dir.path() / name).parent_path());
    dir.write_bytes(name, wave_file(44100, 1, 16, 1000, amplitude));
  }
}

TEST(CdDriveDialog, OffersTheFoldersWithTracksTheGamesCdFirst) {
  GameDir dir;
  write_drives(dir);
  InDir in(dir);
  StepPlatform p;
  EXPECT_EQ(cd_track_folders(p), (Strings{"cd", "a", "cd2"}));
}

TEST(CdDriveDialog, ChoiceDecidesWhereTheNextTrackComesFrom) {
  struct Case {
    const char* input;
    Strings chosen;  // `cddrive` trace lines
    double louder;   // the level 150 ms before the end over the level at 50 ms
  } cases[] = {
      {"@100 menu 40020\ntype cd2\n", {"\"cd2\""}, 4.0},
      // The default leaves the open CD playing; an unknown name or no
      // answer keeps the choice.
      {"@100 menu 40020\ntype デフォルト\n", {"\"\""}, 1.0},
      {"@100 menu 40020\ntype nowhere\n", {}, 1.0},
      {"@100 menu 40020\n", {}, 1.0},
  };
  for (const Case& c : cases) {
    GameDir dir;
    write_drives(dir);
    dir.write_text("0.txt", game_script("play \"*1\"\nwait 300\nplay \"*1\"\nwait 300\nend\n"));
    const RunOptions options{.input = c.input, .audio_out = (dir.path() / "out.wav").string()};
    EXPECT_EQ(run_game(dir, options).events("cddrive"), c.chosen) << c.input;
    const std::vector<double> levels = levels_per_10ms(options.audio_out);
    ASSERT_TRUE(levels.size() > 50 && levels[5] > 0.1) << c.input;
    EXPECT_NEAR(levels[levels.size() - 15] / levels[5], c.louder, 0.1) << c.input;
  }
}

TEST(CdDriveDialog, ListDrawnInTheWindow) {
  StepPlatform p;
  Engine e(p);
  const Strings items = {"d0", "d1", "d2", "d3", "d4", "d5", "d6", "d7", "d8", "d9", "d10", "d11"};
  auto choose = [&](int selected, std::vector<uint32_t> keys, bool enter = true) {
    p.script({[&] {
      for (uint32_t k : keys) p.post(MessageKind::Key, 0, 0, k);
      if (enter) p.post(MessageKind::Char, 0, 0, 0x0D);
    }});
    return run_choice_dialog(e, "ＣＤドライブ選択", items, selected);
  };
  // Past the eight rows shown and back; the ends hold; Escape cancels.
  EXPECT_EQ(choose(0, {kKeyDown, kKeyDown, kKeyDown, kKeyUp}), 2);
  EXPECT_EQ(choose(3, {kKeyEnd, kKeyDown}), 11);
  EXPECT_EQ(choose(30, {kKeyHome, kKeyUp}), 0);
  EXPECT_EQ(choose(0, {kKeyDown, kKeyEscape}, false), -1);
  // The fourth row clicked (rows from y 167, 16 apart), then OK below the
  // list on the right.
  p.script({[&] {
    for (auto [x, y] : {std::pair{200, 220}, std::pair{330, 320}}) {
      p.post(MessageKind::LButtonDown, x, y);
      p.post(MessageKind::LButtonUp, x, y);
    }
  }});
  EXPECT_EQ(run_choice_dialog(e, "ＣＤドライブ選択", items, 0), 3);
  EXPECT_EQ(run_choice_dialog(e, "ＣＤドライブ選択", {}, 0), -1);
}

}  // namespace
}  // namespace vellumite::testing
