// Every folder of tests/games is a small game played headless: its files, an
// optional `input` script and `timeout`, the `expected` trace and, where the
// picture matters, a `screen` hash of the window at exit. The run's trace must
// equal the expected one line for line. After an intended change
// of behaviour, VELLUMITE_UPDATE_GAMES=1 rewrites the expected traces
// (review the diff before committing it).
#include <gtest/gtest.h>

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

// Plays the game in `folder`; "" when it plays as recorded, else what differs.
std::string play(const fs::path& folder) {
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
    } else if (name == "settings") {
      // The player's settings file, shared by both runs.
      dir.write_bytes(name, bytes);
      options.settings = (dir.path() / name).string();
    } else if (name == "first_input") {
      continue;  // played below, before the recorded run
    } else if (name == "timeout") {
      options.timeout_ms = static_cast<uint32_t>(std::stoul(bytes));
    } else if (name != "expected" && name != "screen") {
      dir.write_game_file(name, bytes);
    }
  }
  // A game played once before (its trace not kept) leaves its data files.
  if (fs::exists(folder / "first_input")) {
    RunOptions first = options;
    first.input = read_file(folder / "first_input");
    run_game(dir, first);
  }
  const RunResult r = run_game(dir, options);
  const bool screen = fs::exists(folder / "screen");
  if (std::getenv("VELLUMITE_UPDATE_GAMES") != nullptr) {
    write_file(folder / "expected", r.trace);
    if (screen) write_file(folder / "screen", screen_hash(r.pixels) + "\n");
    return "";
  }
  std::istringstream want(read_file(folder / "expected")), got(r.trace);
  std::string w, g;
  for (int line = 1;; ++line) {
    const bool more_w = static_cast<bool>(std::getline(want, w));
    const bool more_g = static_cast<bool>(std::getline(got, g));
    if (!more_w && !more_g) break;
    if (!more_w || !more_g || w != g) {
      return "expected line " + std::to_string(line) + "\n  expected: " + (more_w ? w : "(end)") +
             "\n  got:      " + (more_g ? g : "(end)");
    }
  }
  if (screen && screen_hash(r.pixels) + "\n" != read_file(folder / "screen")) {
    return "the window at exit differs from `screen`";
  }
  return "";
}

// One test for all the folders, so that a run starts the program once;
// VELLUMITE_GAMES=text plays only the folders whose name holds `text`.
TEST(Games, PlayAsRecorded) {
  const char* only = std::getenv("VELLUMITE_GAMES");
  int played = 0;
  for (const auto& entry : fs::directory_iterator(kGames)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_directory() || (only != nullptr && name.find(only) == std::string::npos)) {
      continue;
    }
    ++played;
    const std::string difference = play(entry.path());
    EXPECT_EQ(difference, "") << "tests/games/" << name;
  }
  EXPECT_GT(played, 0);
}

}  // namespace
}  // namespace vellumite::testing
