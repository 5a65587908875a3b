// Limits that only scenarios too large to keep in tests/games reach: the
// scenario buffer and the alias tables.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "base/sjis.h"
#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

using Texts = std::vector<std::string>;

// A runnable Shift-JIS scenario padded with a comment line to exactly `size`
// bytes, scrambled as the single-file forms keep it (form 0: plain bytes).
std::string padded(size_t size, int form = 0) {
  std::string s = to_sjis("*define\ngame\n*start\n入った\nend\n;");
  s.resize(size, 'x');
  return form == 0 ? s : scramble(s, form == 2);
}

TEST(LargeScenario, BufferOf5242880BytesKeepsItsLastByteFree) {
  const struct {
    const char* file;
    int form;
    size_t size;
    bool fits;
  } cases[] = {{"0.txt", 0, 5242878, true},        {"0.txt", 0, 5242879, false},
               {"velmtxt.dat", 1, 5242878, true},  {"velmtxt.dat", 1, 5242879, false},
               {"velm_sec.dat", 2, 5242878, true}, {"velm_sec.dat", 2, 5246976, false}};
  for (const auto& c : cases) {
    GameDir dir;
    dir.write_bytes(c.file, padded(c.size, c.form));
    RunResult r = run_game(dir);
    if (c.fits) {
      EXPECT_EQ(r.texts(), Texts{"入った"}) << c.file << " " << c.size;
    } else {
      EXPECT_EQ(only_error(r), "エラー|シナリオが長すぎます。") << c.file << " " << c.size;
    }
  }
}

TEST(LargeScenario, AliasTablesHold4096EntriesEach) {
  std::string nums, strs;
  for (int i = 0; i < 4096; ++i) {
    nums += "numalias n" + std::to_string(i) + "," + std::to_string(i) + "\n";
    strs += "stralias s" + std::to_string(i) + ",\"t\"\n";
  }
  RunResult full = run_scenario(game_script("mov %0,n4095:mov $0,s4095\nend\n", nums + strs));
  EXPECT_EQ(std::tuple(full.exit_code, full.num(0), full.str(0)), std::tuple(0, 4095, "t"));
  EXPECT_EQ(only_error(run_scenario(game_script("end\n", nums + "numalias extra,1\n"))),
            "エラー|数字エイリアスが多すぎます。");
  EXPECT_EQ(only_error(run_scenario(game_script("end\n", strs + "stralias extra,\"1\"\n"))),
            "エラー|文字列エイリアスが多すぎます。");
}

}  // namespace
}  // namespace vellumite::testing
