// Every folder of tests/games is a small game played headless: its files, an
// optional `input` script and `timeout`, the `expected` trace and, where the
// picture matters, a `screen` hash of the window at exit. The run's trace must
// equal the expected one line for line. After an intended change
// of behaviour, VELLUMITE_UPDATE_GAMES=1 rewrites the expected traces
// (review the diff before committing it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/game_runner.h"
#include "support/pixels.h"

namespace vellumite::testing {
namespace {
namespace fs = std::filesystem;

const fs::path kGames = fs::path(VELLUMITE_SOURCE_DIR) / "tests" / "games";

std::vector<std::string> cases() {
  std::vector<std::string> out;
  for (const auto& entry : fs::directory_iterator(kGames)) {
    if (entry.is_directory()) out.push_back(entry.path().filename().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

class Game : public ::testing::TestWithParam<std::string> {};

TEST_P(Game, PlaysAsRecorded) {
  const fs::path folder = kGames / GetParam();
  GameDir dir;
  RunOptions options;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = fs::relative(entry.path(), folder).string();
    const std::string bytes = read_file(entry.path());
    if (name == "input") {
      options.input = bytes;
    } else if (name == "pictures") {
      std::istringstream lines(bytes);
      std::string file;
      int width, height;
      uint32_t rgb;
      while (lines >> file >> width >> height >> std::hex >> rgb >> std::dec) {
        dir.write_bytes(file, solid_bmp(width, height, rgb));
      }
    } else if (name == "timeout") {
      options.timeout_ms = static_cast<uint32_t>(std::stoul(bytes));
    } else if (name != "expected" && name != "screen") {
      dir.write_game_file(name, bytes);
    }
  }
  const RunResult r = run_game(dir, options);
  const std::string& trace = r.trace;
  const bool screen = fs::exists(folder / "screen");
  if (std::getenv("VELLUMITE_UPDATE_GAMES") != nullptr) {
    write_file(folder / "expected", trace);
    if (screen) write_file(folder / "screen", screen_hash(r.pixels) + "\n");
    return;
  }
  if (screen) {
    EXPECT_EQ(screen_hash(r.pixels) + "\n", read_file(folder / "screen"))
        << GetParam() << ": the window at exit differs";
  }
  std::istringstream want(read_file(folder / "expected")), got(trace);
  std::string w, g;
  for (int line = 1;; ++line) {
    const bool more_w = static_cast<bool>(std::getline(want, w));
    const bool more_g = static_cast<bool>(std::getline(got, g));
    if (!more_w && !more_g) break;
    ASSERT_TRUE(more_w && more_g && w == g)
        << GetParam() << "/expected line " << line << "\n  expected: " << (more_w ? w : "(end)")
        << "\n  got:      " << (more_g ? g : "(end)");
  }
}

INSTANTIATE_TEST_SUITE_P(Recorded, Game, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vellumite::testing
