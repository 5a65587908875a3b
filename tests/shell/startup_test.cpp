// Start-up, the cycle and the end of the program, observed through the
// headless runner.
#include <gtest/gtest.h>

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
