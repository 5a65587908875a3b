// The players' volumes: the settings text, the keys, and the level of the
// mixed sound. tests/program/settings.sh checks the file in a window.
#include "game/audio/player_volume.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix_system.h"
#include "support/engine_harness.h"
#include "support/game_runner.h"
#include "support/sound_files.h"

namespace vellumite::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(PlayerVolume, SettingsText) {
  const std::pair<const char*, VolumePercents> cases[] = {
      {"[volume]\nmusic=40\nsound=0\nfilm=70\n", {40, 0, 70}},
      {"[other]\nmusic=10\n\n; note\n[volume]\r\n sound = 30 \r\n", {100, 30, 100}},
      {"[volume]\nmusic=250\nsound=-5\nfilm=7x\nfilm=\n", {100, 0, 100}},
      {"[volume]\nmusic=99999999999\nsound=-99999999999\nloud=5\n", {100, 0, 100}},
      {"music=10\n", {100, 100, 100}},
  };
  for (const auto& [text, expected] : cases) {
    VolumePercents v{100, 100, 100};
    parse_volume_settings(text, v);
    EXPECT_EQ(v, expected) << text;
  }
}

TEST(PlayerVolume, KeysSetTheMixerChannels) {
  // Music down twice, sound up at the top, film down once; F10 is no volume key.
  EngineHarness h;
  for (uint32_t key : {kKeyF5, kKeyF5, kKeyF8, kKeyF3}) EXPECT_TRUE(volume_key(h.e, key));
  EXPECT_FALSE(volume_key(h.e, kKeyF10));
  const std::pair<Channel, float> expected[] = {{Channel::Midi, 0.8F},
                                                {Channel::Cd, 0.8F},
                                                {Channel::Mp3, 0.8F},
                                                {Channel::Wave, 1.0F},
                                                {Channel::Film, 0.9F}};
  for (auto [c, v] : expected) EXPECT_FLOAT_EQ(h.e.audio.mixer.volume(c), v) << channel_name(c);
}

TEST(PlayerVolume, FailedWriteLeavesNoTemporaryFile) {
  GameDir dir;
  fs::create_directories(dir.path() / "taken");
  EXPECT_FALSE(replace_file((dir.path() / "taken").string(), "x"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// A 400 ms tone on the WAVE channel: the peak levels at 100 and 300 ms (F7 at
// 200 ms turns the sound down), and the settings file afterwards.
struct VolumeRun {
  Strings volumes;
  double before = 0, after = 0;
  std::string settings;
};

VolumeRun play_tone(const std::string& settings_text, const std::string& input) {
  GameDir dir;
  dir.write_bytes("s.wav", wave_file(44100, 1, 16, 400));
  dir.write_text("0.txt", game_script("wave \"s.wav\"\nwait 400\nend\n"));
  RunOptions options{.input = input,
                     .audio_out = (dir.path() / "out.wav").string(),
                     .settings = (dir.path() / "settings.ini").string()};
  if (!settings_text.empty()) write_file(options.settings, settings_text);
  VolumeRun r;
  r.volumes = run_game(dir, options).events("volume");
  const std::vector<double> levels = levels_per_10ms(options.audio_out);
  r.before = levels.size() > 10 ? levels[10] : 0;
  r.after = levels.size() > 30 ? levels[30] : 0;
  r.settings = read_whole_file(options.settings).value_or("(none)");
  return r;
}

TEST(PlayerVolume, KeptInTheSettingsFileAndHeardInTheMix) {
  const VolumeRun full = play_tone("", "");
  EXPECT_EQ(full.volumes, Strings{});
  EXPECT_EQ(full.settings, "(none)");  // nothing changed, nothing written
  ASSERT_GT(full.before, 0.3);

  // F4 at 210 ms: the film is at its top already.
  const VolumeRun r = play_tone("[volume]\nsound=50\n", "@200 key f7\n@210 key f4\n");
  EXPECT_EQ(r.volumes, (Strings{"music 100", "sound 50", "film 100", "sound 40"}));
  EXPECT_NEAR(r.before / full.before, 0.5, 0.02);
  EXPECT_NEAR(r.after / full.after, 0.4, 0.02);
  EXPECT_EQ(r.settings, "[volume]\nmusic=100\nsound=40\nfilm=100\n");
}

}  // namespace
}  // namespace vellumite::testing
