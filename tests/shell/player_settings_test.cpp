// The player's switches in settings.ini and the rewriting of one key, which
// keeps the rest of the file.
#include "shell/player_settings.h"

#include <gtest/gtest.h>

namespace vellumite {
namespace {

TEST(PlayerSettings, SwitchesAreReadFromTheirSection) {
  PlayerOptions o;
  parse_player_settings(
      "skip_read_only=1\n[volume]\ntext_size=200\n[player]\n"
      " skip_read_only = 1 \r\ntext_size=9999\n",
      o);
  EXPECT_TRUE(o.skip_read_only);
  EXPECT_EQ(o.text_size_percent, 400);
  parse_player_settings("[player]\nskip_read_only=yes\ntext_size=120x\n", o);
  EXPECT_TRUE(o.skip_read_only);
  EXPECT_EQ(o.text_size_percent, 400);
}

TEST(PlayerSettings, SetSettingKeepsEveryOtherLine) {
  struct Case {
    const char* before;
    const char* after;
  } cases[] = {
      {"", "[player]\nskip_read_only=1\n"},
      {"[volume]\nmusic=50", "[volume]\nmusic=50\n[player]\nskip_read_only=1\n"},
      {"[player]\nskip_read_only=0\n[volume]\nmusic=50\n",
       "[player]\nskip_read_only=1\n[volume]\nmusic=50\n"},
      {"[player]\ntext_size=150\n; note\n[volume]\n",
       "[player]\ntext_size=150\nskip_read_only=1\n; note\n[volume]\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(set_setting(c.before, "player", "skip_read_only", "1"), c.after) << c.before;
  }
  EXPECT_EQ(without_section("[volume]\nmusic=1\n[player]\ntext_size=150\n[volume]\n", "volume"),
            "[player]\ntext_size=150\n");
}

}  // namespace
}  // namespace vellumite
