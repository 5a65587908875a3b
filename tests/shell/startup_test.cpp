// Start-up, the cycle and the end of the program, observed through the
// headless runner.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/headless/headless_platform.h"
#include "shell/entry.h"
#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

TEST(Startup, DefineBlockThenStartThenEnd) {
  RunResult r = run_scenario(
      "*define\n"
      "caption \"テスト\"\n"
      "game\n"
      "*start\n"
      "こんにちは\n"
      "end\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.title, "テスト");
  ASSERT_EQ(r.texts().size(), 1u);
  EXPECT_EQ(r.texts()[0], "こんにちは");
  EXPECT_EQ(r.events("exit"), std::vector<std::string>{"0"});
}

TEST(Startup, MissingLabelsStopWithTheLabelError) {
  RunResult no_define = run_scenario("*start\nend\n");
  EXPECT_EQ(no_define.exit_code, 2);
  ASSERT_EQ(no_define.boxes().size(), 1u);
  EXPECT_EQ(no_define.boxes()[0].substr(0, no_define.boxes()[0].find('\n')),
            "ラベルエラー|ラベル*defineは存在しません");

  RunResult no_start = run_scenario("*define\ngame\n");
  EXPECT_EQ(no_start.exit_code, 2);
  ASSERT_EQ(no_start.boxes().size(), 1u);
  EXPECT_NE(no_start.boxes()[0].find("ラベル*startは存在しません"), std::string::npos);
}

}  // namespace
}  // namespace vellumite::testing

namespace vellumite::testing {
namespace {

TEST(Startup, RestartRunsTheDefineBlockAgainWithFreshGlobals) {
  // Every run of the define block shows a line; the game shows %200 and then
  // changes it before restarting: without a gloval.sav on disk the next
  // cycle must show 0 again.
  RunOptions options;
  options.input = "@1 close\n";
  RunResult r = run_scenario(
      "*define\n"
      "game\n"
      "*start\n"
      "textspeed 0\n"
      "全体%200\n"
      "mov %200,7\n"
      "mov %5,9\n"
      "definereset\n",
      options);
  EXPECT_EQ(r.exit_code, 0);
  std::vector<std::string> texts = r.texts();
  ASSERT_GE(texts.size(), 2u);
  for (const std::string& t : texts) EXPECT_EQ(t, "全体０");
}

TEST(Startup, ConfigFileTurnsCdFadeOffByItsFirstNineCharacters) {
  auto fade_disabled = [](std::string_view config) {
    GameDir dir;
    if (!config.empty()) dir.write_bytes("config.txt", config);
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    HeadlessPlatform platform{PlatformOptions{}};
    Engine e(platform);
    read_config(e);
    std::filesystem::current_path(before);
    return e.shell.cd_fade_disabled;
  };
  EXPECT_TRUE(fade_disabled("cdfadeoff\n"));
  EXPECT_TRUE(fade_disabled("first line\r\ncdfadeoffXYZ\r\n"));
  EXPECT_FALSE(fade_disabled("CDFADEOFF\n"));
  EXPECT_FALSE(fade_disabled(" cdfadeoff\n"));
  EXPECT_FALSE(fade_disabled(""));
}

}  // namespace
}  // namespace vellumite::testing
