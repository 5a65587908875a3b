// gloval.sav, Velmflog.dat and envdata: their bytes, what a game sees of
// them, short and garbled files, and the folder they live in.
#include "game/save/persistent_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../support/le_bytes.h"
#include "../support/save_harness.h"
#include "game/save/save_slots.h"
#include "game/script/control_flow.h"
#include "resources/data_files.h"

namespace vellumite::testing {
namespace {

std::string in_game(const GameDir& dir, const char* name) { return read_file(dir.path() / name); }

std::string scrambled(std::string_view name) {
  std::string out;
  for (char c : name) out += static_cast<char>(static_cast<uint8_t>(c) ^ 0xA7);
  return "\"" + out + "\"";
}

TEST(GlobalsFile, WrittenAfterGlobalonAndReadAtTheNextStart) {
  GameDir dir;
  dir.write_text("0.txt",
                 game_script("mov %200,5:mov $300,\"x\":mov %4095,-2:mov %0,1\nend", "globalon\n"));
  ASSERT_EQ(run_game(dir).exit_code, 0);
  LeBytes expected;
  for (int n = 200; n < 4096; ++n) {
    expected.i32(n == 200 ? 5 : n == 4095 ? -2 : 0).str(n == 300 ? "x" : "");
  }
  EXPECT_TRUE(in_game(dir, "gloval.sav") == expected.bytes);

  // Without globalon the file is read but not written.
  dir.write_text("0.txt", game_script("mov %201,%200\nmov %200,9\nend"));
  const RunResult r = run_game(dir);
  EXPECT_EQ(r.num(201), 5);
  EXPECT_EQ(r.str(300), "x");
  EXPECT_TRUE(in_game(dir, "gloval.sav") == expected.bytes);
}

TEST(GlobalsFile, AShortFileGivesZeroAndEmptyForTheRest) {
  SaveHarness h;
  h.e.vars.num_vars[201] = 3;
  write_file(h.dir.path() / "gloval.sav", LeBytes().i32(7).bytes + "ab");
  read_globals(h.e);
  EXPECT_EQ(std::to_string(h.e.vars.num_vars[200]) + h.e.vars.str_vars[200] +
                std::to_string(h.e.vars.num_vars[201]) + h.e.vars.str_vars[201],
            "7ab0");
}

TEST(FileLog, NamesTheFileCannotCarryStayInMemory) {
  SaveHarness h;
  // 0x85 scrambles to the quote that ends an entry.
  for (const char* name : {"a.bmp", "\x85\x40.bmp", "\x82\x61.bmp"}) log_file_name(h.e, name);
  log_file_name(h.e, std::string(600, 'x'));
  EXPECT_TRUE(file_log_contains(h.e, "\x85\x40.BMP"));
  EXPECT_TRUE(file_log_contains(h.e, "\x82\x41.bmp"));  // every byte is upper-cased
  EXPECT_TRUE(file_log_contains(h.e, std::string(600, 'X')));
  EXPECT_EQ(file_log_image(h.e), "2\n" + scrambled("A.BMP") + scrambled("\x82\x41.BMP"));
}

TEST(FileLog, ReadingTheFileAgainForgetsNothingSeenSince) {
  SaveHarness h;
  log_file_name(h.e, "seen.bmp");
  load_file_log_image(h.e, "1\n" + scrambled("OLD.BMP"));  // as after definereset
  EXPECT_TRUE(file_log_contains(h.e, "seen.bmp"));
  EXPECT_TRUE(file_log_contains(h.e, "old.bmp"));
}

TEST(FileLog, GarbledFilesGiveWhatCanBeRead) {
  struct Case {
    std::string bytes;
    size_t entries;
  };
  std::string many = "5000\n";
  for (int i = 0; i < 5000; ++i) many += scrambled("N" + std::to_string(i));
  for (const Case& c : {Case{"", 0}, Case{"zz", 0}, Case{"-3\n\"x\"", 0},
                        Case{"5\n" + scrambled("A.BMP").substr(0, 4), 1},
                        Case{"2\n\"" + std::string(700, 'q') + "\"", 2}, Case{many, 4000}}) {
    SaveHarness h;
    load_file_log_image(h.e, c.bytes);
    EXPECT_EQ(h.e.save.file_log.size(), c.entries) << c.bytes.substr(0, 20);
  }
}

TEST(EnvironmentFile, TheMenuChoicesAreWrittenAtExitAndPostedAfterTheDefineBlock) {
  GameDir dir;
  dir.write_text("0.txt", game_script("end"));
  ASSERT_EQ(run_game(dir).exit_code, 0);
  const std::string font = to_sjis("ＭＳ ゴシック");
  EXPECT_EQ(in_game(dir, "envdata"),
            LeBytes().i32(0).i32(1).i32(1).i32(0).str(font).i32(1).str("").bytes);

  SaveHarness h;
  h.e.shell.default_font_face = font;
  h.e.shell.font_table[7] = "Face";
  write_file(h.dir.path() / "envdata",
             LeBytes().i32(1).i32(0).i32(2).i32(1).str("Face").i32(0).str("D:").bytes);
  read_environment(h.e);
  std::vector<uint32_t> posted;
  for (Message m; h.platform.peek_message(m, true);) {
    if (m.kind == MessageKind::Command) posted.push_back(m.param);
  }
  EXPECT_EQ(posted, (std::vector<uint32_t>{40002, 40018, 40022, 40007, 40016, 7}));
  EXPECT_EQ(h.e.shell.font_face, "Face");
  EXPECT_EQ(h.e.shell.cd_drive, "D:");
  load_environment_image(h.e, std::string("\x00\x00", 2));  // short: 0 and empty
  EXPECT_EQ(h.e.shell.font_face, "");
  EXPECT_EQ(h.e.shell.cd_drive, "");
}

TEST(DataFolder, AnUnwritableGameFolderKeepsItsFilesInTheUsersDataFolder) {
  EXPECT_EQ(data_folder_for(true, "/d", "g") + "|" + data_folder_for(false, "/d/", "g") + "|" +
                data_folder_for(false, "", "g"),
            "|/d/vellumite/g/|");

  SaveHarness h;
  EXPECT_TRUE(game_folder_writable(h.platform));
  h.e.save.data_folder_chosen = true;
  h.e.save.data_folder = (h.dir.path() / "data/").string();
  for (const char* name : {"save1.dat", "save2.dat"}) write_file(h.dir.path() / name, "game");
  write_file(h.dir.path() / "data/save2.dat", "data");
  EXPECT_EQ(read_data_file(h.platform, h.e.save.data_folder, "save1.dat"), "game");
  EXPECT_EQ(read_data_file(h.platform, h.e.save.data_folder, "save2.dat"), "data");
  state_snapshot(h.e);
  ASSERT_TRUE(write_save(h.e, 1));
  EXPECT_TRUE(read_file(h.dir.path() / "data/save1.dat") == h.e.save.snapshot);
  EXPECT_EQ(read_file(h.dir.path() / "save1.dat"), "game");
  write_globals(h.e);
  EXPECT_TRUE(std::filesystem::exists(h.dir.path() / "data/gloval.sav"));
}

}  // namespace
}  // namespace vellumite::testing
