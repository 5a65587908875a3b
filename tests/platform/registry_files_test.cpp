// The registry and profile file readers: Wine's user hive, ini files, and
// where the platform looks. (Registry exports of both formats are read by
// recorded games.)
#include "platform/registry_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include "base/sjis.h"
#include "platform/headless/headless_platform.h"
#include "support/game_runner.h"

namespace vellumite {
namespace {

std::optional<std::string> value_in(std::string_view bytes, std::string_view key,
                                    std::string_view name) {
  return find_registry_value(decode_registry_file(bytes), key, name);
}

TEST(RegistryFiles, WineUserHive) {
  std::string file =
      "WINE REGISTRY Version 2\n"
      ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
      "#arch=win32\n\n"
      "[Software\\\\Maker\\\\Game] 1700000000\n"
      "#time=1da0a0a0a0a0a0a\n"
      "\"Name\"=\"\\x82b1\\x5b50\"\n"
      "\"Emoji\"=\"\\xd83d\\xde00!\"\n"
      "\"Escapes\"=\"a\\\\b\\\"c\\td\\r\\n\"\n"
      "\"Count\"=dword:0000000a\n"
      "\"Expand\"=str(2):\"%HOME%\\\\x\"\n"
      "\"Multi\"=str(7):\"one\\0two\\0\"\n"
      "@=\"root\"\n"
      "\n"
      "[Software\\\\Maker\\\\Game\\\\Sub\\]Key] 1700000000\n"
      "\"V\"=\"sub\"\n";
  EXPECT_EQ(decode_registry_file(file).format, RegFileFormat::Wine);
  EXPECT_EQ(value_in(file, "SOFTWARE\\maker\\Game", "name"), "花子");
  EXPECT_EQ(value_in(file, "Software\\Maker\\Game\\Sub]Key", "V"), "sub");
  const std::pair<const char*, const char*> values[] = {{"Emoji", "\xF0\x9F\x98\x80!"},
                                                        {"Escapes", "a\\b\"c\td\r\n"},
                                                        {"Count", "10"},
                                                        {"Expand", "%HOME%\\x"},
                                                        {"Multi", "one"},
                                                        {"", "root"}};
  for (auto [name, value] : values)
    EXPECT_EQ(value_in(file, "Software\\Maker\\Game", name), value) << name;
}

TEST(ProfileFiles, WindowsProfileRules) {
  std::string text =
      "stray=before any section\n"
      "; a comment\n"
      "[ Game ]\n"
      "  Title  =  'Quoted Title'  \n"
      "Plain = text ; not a comment\n"
      "Empty=\n"
      "Lone\n"
      "Mixed=\"a'\n"
      ";Hidden=1\n"
      "Dup=first\n"
      "DUP=second\n"
      "[game]\n"
      "Other=from the second section\n";
  EXPECT_EQ(find_profile_string(text, "GAME", "title"), "Quoted Title");
  EXPECT_EQ(find_profile_string(text, "Game", "Plain"), "text ; not a comment");
  EXPECT_EQ(find_profile_string(text, "Game", "Empty"), "");
  EXPECT_EQ(find_profile_string(text, "Game", "Lone"), "");
  EXPECT_EQ(find_profile_string(text, "Game", "Mixed"), "\"a'");
  EXPECT_EQ(find_profile_string(text, "Game", "Hidden"), std::nullopt);
  EXPECT_EQ(find_profile_string(text, "Game", "dup"), "first");
  EXPECT_EQ(find_profile_string(text, "Game", "Other"), std::nullopt);
  EXPECT_EQ(find_profile_string(text, "Game", "stray"), std::nullopt);
  EXPECT_EQ(find_profile_string(text, "None", "Title"), std::nullopt);

  EXPECT_EQ(decode_profile_file("[s]\r\nk=\x95\x5C\r\n"), "[s]\r\nk=表\r\n");
  // UTF-16LE with a byte order mark; 表 is U+8868.
  const std::string utf16("\xFF\xFE[\0s\0]\0\n\0k\0=\0\x68\x88\n\0", 18);
  EXPECT_EQ(decode_profile_file(utf16), "[s]\nk=表\n");
  EXPECT_EQ(decode_profile_file("\xEF\xBB\xBF[s]"), "[s]");
}

// Sets an environment variable for the life of the value, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(RegistryFiles, PlatformPrefersTheGameFolderOverWine) {
  testing::GameDir game;
  testing::GameDir prefix;
  prefix.write_bytes("user.reg",
                     "WINE REGISTRY Version 2\n\n[Software\\\\Maker] 1\n\"V\"=\"wine\"\n");
  ScopedEnv wine("WINEPREFIX", prefix.path().string());
  std::optional<std::string> from_wine, from_game, ini;
  {
    testing::InDir in_dir(game);
    HeadlessPlatform platform{PlatformOptions{}};
    from_wine = platform.read_registry_value("Software\\Maker", "V");
    game.write_bytes("Registry.REG",
                     "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Maker]\n\"W\"=\"x\"\n");
    from_game = platform.read_registry_value("Software\\Maker", "V");
    game.write_bytes("sub/a.ini", "[s]\nk=v\n");
    ini = platform.read_profile_string("SUB\\A.ini", "s", "k");
  }
  EXPECT_EQ(from_wine, "wine");
  // A registry file in the game folder replaces Wine's hive entirely.
  EXPECT_EQ(from_game, std::nullopt);
  EXPECT_EQ(ini, "v");
}

}  // namespace
}  // namespace vellumite
