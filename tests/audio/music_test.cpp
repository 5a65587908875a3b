// MIDI and CD tracks: the fade-out, the MIDI loop, and the mixed sound that
// reaches the output. (What `stop` and `playstop` end, the track already
// playing and track numbers out of range are recorded games.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/game_runner.h"
#include "support/sound_files.h"

namespace vellumite::testing {
namespace {

using Strings = std::vector<std::string>;

// A game with a 300 ms MIDI tune, CD tracks 1 to 3 (1 s each: WAVE, OGG,
// FLAC) and a short sound.
void write_music(GameDir& dir, const std::string& body, const std::string& define = "") {
  std::filesystem::create_directories(dir.path() / "cd");
  dir.write_bytes("tune.mid", midi_file(300));
  dir.write_bytes("cd/track01.wav", wave_file(44100, 2, 16, 1000));
  dir.write_bytes("cd/track02.ogg", encoded_file("ogg", 44100, 1000));
  dir.write_bytes("cd/track03.flac", encoded_file("flac", 44100, 1000));
  dir.write_bytes("s.wav", wave_file(22050, 1, 16, 2000));
  dir.write_text("0.txt", "*define\n" + define + "game\n*start\n" + body);
}

TEST(Music, CdFadeOutBlocksForItsLengthAndLowersTheLevelInSteps) {
  struct Case {
    const char* what;
    std::string define;
    std::string config;
    uint32_t stopped_at;  // when the next command ran
  } cases[] = {
      {"default fade", "", "", 200 + 990},
      {"cdfadeout 500", "cdfadeout 500\n", "", 200 + 495},
      {"cdfadeout 0", "cdfadeout 0\n", "", 200},
      {"cdfadeoff", "cdfadeout 500\n", "cdfadeoff\n", 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameDir dir;
    write_music(dir, "play \"*1\"\nwait 200\nplaystop\nwave \"s.wav\"\nend\n", c.define);
    if (!c.config.empty()) dir.write_bytes("config.txt", c.config);
    const std::string out = (dir.path() / "out.wav").string();
    RunResult r = run_game(dir, {"", 600000, out});
    std::vector<uint32_t> t = r.times("audio");
    ASSERT_EQ(t.size(), 4U);  // start, stop or fade, the sound, its stop at the exit
    EXPECT_NEAR(t[2], c.stopped_at, 12);
    if (c.stopped_at - 200 < 400) continue;
    // The level falls step by step: about half way through, about half.
    std::vector<double> level = levels_per_10ms(out);
    ASSERT_GE(level.size(), c.stopped_at / 10 - 1);
    double full = level[10];
    double middle = level[(200 + (c.stopped_at - 200) / 2) / 10];
    EXPECT_GT(full, 0.4);
    EXPECT_NEAR(middle / full, 0.5, 0.08);
  }
}

TEST(Music, MidiLoopRestartsWithin100msOfItsEnd) {
  GameDir dir;
  write_music(dir, "play \"tune.mid\"\nwait 2500\nend\n");
  const std::string out = (dir.path() / "out.wav").string();
  RunResult r = run_game(dir, {"", 600000, out});
  std::vector<uint32_t> starts;
  Strings audio = r.events("audio");
  std::vector<uint32_t> times = r.times("audio");
  for (size_t i = 0; i < audio.size(); ++i) {
    if (audio[i].rfind("midi start", 0) == 0) starts.push_back(times[i]);
  }
  ASSERT_GE(starts.size(), 3U);
  // The note lasts 300 ms and dies away; the loop starts it again within
  // 100 ms of the last sound.
  std::vector<double> level = levels_per_10ms(out);
  ASSERT_GT(level.size(), 240U);
  EXPECT_GT(level[10], 0.01);  // the synthesizer really played
  for (size_t k = 1; k < starts.size(); ++k) {
    uint32_t last_sound = starts[k - 1];
    for (uint32_t ms = starts[k - 1]; ms + 10 < starts[k]; ms += 10) {
      if (level[ms / 10] > 0.0001) last_sound = ms + 10;
    }
    EXPECT_GE(last_sound, starts[k - 1] + 300);
    // The poll's 100 ms, plus the last synthesized block (23 ms) that found
    // the note silent, plus the 10 ms of the measure.
    EXPECT_LE(starts[k] - last_sound, 100U + 23U + 10U);
  }
}

}  // namespace
}  // namespace vellumite::testing
