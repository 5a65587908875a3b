// The players' volumes: the settings text, the keys, the file they are kept
// in, and the level of the mixed sound.
#include "audio/player_volume.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
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
  struct Case {
    const char* text;
    VolumePercents expected;
  } cases[] = {
      {"[volume]\nmusic=40\nsound=0\nfilm=70\n", {40, 0, 70}},
      {"[other]\nmusic=10\n\n; note\n[volume]\r\n sound = 30 \r\n", {100, 30, 100}},
      {"[volume]\nmusic=250\nsound=-5\nfilm=7x\nfilm=\n", {100, 0, 100}},
      {"[volume]\nmusic=99999999999\nsound=-99999999999\nloud=5\n", {100, 0, 100}},
      {"music=10\n", {100, 100, 100}},
      {"", {100, 100, 100}},
  };
  for (const Case& c : cases) {
    VolumePercents v{100, 100, 100};
    parse_volume_settings(c.text, v);
    EXPECT_EQ(v, c.expected) << c.text;
  }
  VolumePercents kept{0, 50, 90};
  VolumePercents read{100, 100, 100};
  parse_volume_settings(format_volume_settings(kept), read);
  EXPECT_EQ(read, kept);
}

TEST(PlayerVolume, KeysSetTheMixerChannels) {
  // Music down twice, sound up at the top, film down once.
  EngineHarness h;
  for (uint32_t key : {kKeyF5, kKeyF5, kKeyF8, kKeyF3, kKeyF10}) volume_key(h.e, key);
  EXPECT_FALSE(volume_key(h.e, kKeyF10));
  const Mixer& m = h.e.audio.mixer;
  EXPECT_FLOAT_EQ(m.volume(Channel::Midi), 0.8F);
  EXPECT_FLOAT_EQ(m.volume(Channel::Cd), 0.8F);
  EXPECT_FLOAT_EQ(m.volume(Channel::Mp3), 0.8F);
  EXPECT_FLOAT_EQ(m.volume(Channel::Wave), 1.0F);
  EXPECT_FLOAT_EQ(m.volume(Channel::Film), 0.9F);
}

TEST(PlayerVolume, ReplaceFileMakesFoldersAndLeavesNoTemporaryFile) {
  GameDir dir;
  const fs::path folder = dir.path() / "a" / "b";
  const std::string file = (folder / "settings.ini").string();
  EXPECT_FALSE(read_whole_file(file).has_value());
  ASSERT_TRUE(replace_file(file, "one"));
  ASSERT_TRUE(replace_file(file, "two"));
  EXPECT_EQ(read_whole_file(file), "two");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  // A folder in the way of the file: the write fails, nothing is left behind.
  fs::create_directories(folder / "taken");
  EXPECT_FALSE(replace_file((folder / "taken").string(), "x"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

// A 400 ms tone on the WAVE channel; F7 at 200 ms turns the sound down.
struct VolumeRun {
  RunResult run;
  double level_before = 0;  // peak level over 50..150 ms
  double level_after = 0;   // over 250..350 ms
  std::optional<std::string> settings_after;
};

VolumeRun play_tone(const std::string& settings_text, const std::string& input) {
  GameDir dir;
  dir.write_bytes("s.wav", wave_file(44100, 1, 16, 400));
  dir.write_text("0.txt", game_script("wave \"s.wav\"\nwait 400\nend\n"));
  const fs::path home = dir.path() / "config";
  const std::string settings = (home / "settings.ini").string();
  if (!settings_text.empty()) write_file(settings, settings_text);
  RunOptions options;
  options.input = input;
  options.audio_out = (dir.path() / "out.wav").string();
  options.settings = settings;
  VolumeRun r;
  r.run = run_game(dir, options);
  std::vector<double> levels = levels_per_10ms(options.audio_out);
  auto peak = [&levels](size_t from, size_t to) {
    double p = 0;
    for (size_t i = from; i < to && i < levels.size(); ++i) p = std::max(p, levels[i]);
    return p;
  };
  r.level_before = peak(5, 15);
  r.level_after = peak(25, 35);
  r.settings_after = read_whole_file(settings);
  return r;
}

TEST(PlayerVolume, KeptInTheSettingsFileAndHeardInTheMix) {
  const VolumeRun full = play_tone("", "");
  EXPECT_EQ(full.run.events("volume"), Strings{});
  EXPECT_FALSE(full.settings_after.has_value());  // nothing changed, nothing written
  ASSERT_GT(full.level_before, 0.3);

  const VolumeRun half = play_tone("[volume]\nsound=50\n", "@200 key f7\n@210 key f4\n");
  EXPECT_EQ(half.run.events("volume"), (Strings{"music 100", "sound 50", "film 100", "sound 40"}));
  EXPECT_NEAR(half.level_before / full.level_before, 0.5, 0.02);
  EXPECT_NEAR(half.level_after / full.level_after, 0.4, 0.02);
  EXPECT_EQ(half.settings_after, "[volume]\nmusic=100\nsound=40\nfilm=100\n");
}

}  // namespace
}  // namespace vellumite::testing
