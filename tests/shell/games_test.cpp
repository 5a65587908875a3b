// Every folder of tests/games is a small game played headless: its files (or
// those of the game folder that a `game` file names), an optional `input`
// script and `timeout`, the `expected` trace and, where the picture matters,
// the window at exit as `screen.png` (compared pixel by pixel) or as a
// `screen` hash, and windows part of the way through (`shots`). A
// difference names the first differing trace line or pixel and leaves what
// the run gave beside the recorded files (`expected.new`, `NAME.new.png`). After an intended change
// of behaviour, VELLUMITE_UPDATE_GAMES=1 rewrites the recorded files (review the diff before
// committing it).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/game_runner.h"
#include "support/pixels.h"
#include "support/screen_png.h"

namespace vellumite::testing {
namespace {
namespace fs = std::filesystem;

const fs::path kSource = fs::path(VELLUMITE_SOURCE_DIR);
const fs::path kGames = kSource / "tests" / "games";

// A window picture a case keeps: `NAME.png`, taken when the game has used
// up the first `lines` lines of `input` (all of them for `screen.png`).
struct Shot {
  std::string name;
  size_t lines = SIZE_MAX;
};

// The shots of a case: `screen.png` at exit if it exists, and each line
// "NAME LINES" of its `shots` file.
std::vector<Shot> shots_of(const fs::path& folder) {
  std::vector<Shot> shots;
  if (fs::exists(folder / "screen.png")) shots.push_back({"screen", SIZE_MAX});
  std::istringstream lines(read_file(folder / "shots"));
  Shot shot;
  while (lines >> shot.name >> shot.lines) shots.push_back(shot);
  return shots;
}

// The files of a case that describe the runs rather than belong to the game.
bool recorded(const std::string& name, const std::vector<Shot>& shots) {
  for (const Shot& shot : shots) {
    if (name == shot.name + ".png" || name == shot.name + ".new.png") return true;
  }
  return name == "expected" || name == "screen" || name == "game" || name == "shots" ||
         name == "expected.new";
}

// Copies a game folder of the source tree (a `game` file names it) as it is.
void copy_game(const fs::path& from, const GameDir& dir) {
  for (const auto& entry : fs::recursive_directory_iterator(from)) {
    if (entry.is_regular_file()) {
      dir.write_bytes(fs::relative(entry.path(), from).string(), read_file(entry.path()));
    }
  }
}

// Writes the game of the case in `folder` into `dir`; gives its run options.
RunOptions prepare(const fs::path& folder, const std::vector<Shot>& shots, const GameDir& dir) {
  RunOptions options;
  // A game whose config.txt says its files are UTF-8 keeps them so.
  const bool utf8 = read_file(folder / "config.txt").find("encoding utf-8") != std::string::npos;
  if (fs::exists(folder / "game")) {
    std::string game = read_file(folder / "game");
    game.erase(game.find_last_not_of(" \r\n") + 1);
    copy_game(kSource / game, dir);
  }
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
    } else if (name == "play") {
      options.play = bytes;
    } else if (name == "settings") {
      // The player's settings file, shared by both runs.
      dir.write_bytes(name, bytes);
      options.settings = (dir.path() / name).string();
    } else if (name == "first_input") {
      continue;  // played below, before the recorded run
    } else if (name == "timeout") {
      options.timeout_ms = static_cast<uint32_t>(std::stoul(bytes));
    } else if (utf8 && name.ends_with(".txt")) {
      dir.write_bytes(name, bytes);
    } else if (!recorded(name, shots)) {
      dir.write_game_file(name, bytes);
    }
  }
  // A game played once before (its trace not kept) leaves its data files.
  if (fs::exists(folder / "first_input")) {
    RunOptions first = options;
    first.input = read_file(folder / "first_input");
    run_game(dir, first);
  }
  return options;
}

// The first `count` lines of `text`.
std::string first_lines(const std::string& text, size_t count) {
  size_t end = 0;
  for (size_t i = 0; i < count && end < text.size(); ++i) {
    const size_t next = text.find('\n', end);
    end = next == std::string::npos ? text.size() : next + 1;
  }
  return text.substr(0, end);
}

// "" when both traces are equal, else the first line that differs.
std::string trace_difference(const std::string& expected, const std::string& trace) {
  std::istringstream want(expected), got(trace);
  std::string w, g;
  for (int line = 1;; ++line) {
    const bool more_w = static_cast<bool>(std::getline(want, w));
    const bool more_g = static_cast<bool>(std::getline(got, g));
    if (!more_w && !more_g) return "";
    if (!more_w || !more_g || w != g) {
      return "expected line " + std::to_string(line) + "\n  expected: " + (more_w ? w : "(end)") +
             "\n  got:      " + (more_g ? g : "(end)");
    }
  }
}

// Plays the game in `folder`; "" when it plays as recorded, else what differs.
std::string play(const fs::path& folder) {
  const bool update = std::getenv("VELLUMITE_UPDATE_GAMES") != nullptr;
  const std::vector<Shot> shots = shots_of(folder);
  std::string differences;
  const auto add = [&](const std::string& what) {
    differences += (differences.empty() ? "" : "\n") + what;
  };
  fs::remove(folder / "expected.new");
  RunResult whole;
  {
    GameDir dir;
    whole = run_game(dir, prepare(folder, shots, dir));
  }
  const bool hash = fs::exists(folder / "screen");
  if (update) {
    write_file(folder / "expected", whole.trace);
    if (hash) write_file(folder / "screen", screen_hash(whole.pixels) + "\n");
  } else {
    if (const std::string line = trace_difference(read_file(folder / "expected"), whole.trace);
        !line.empty()) {
      add(line + "\n  (the whole trace is in expected.new)");
      write_file(folder / "expected.new", whole.trace);
    }
    if (hash && screen_hash(whole.pixels) + "\n" != read_file(folder / "screen")) {
      add("the window at exit differs from `screen`");
    }
  }
  for (const Shot& shot : shots) {
    RunResult part;
    if (shot.lines == SIZE_MAX) {
      part.pixels = whole.pixels;
    } else {
      GameDir dir;
      RunOptions options = prepare(folder, shots, dir);
      options.input = first_lines(options.input, shot.lines);
      part = run_game(dir, options);
    }
    const fs::path png = folder / (shot.name + ".png");
    const fs::path fresh = folder / (shot.name + ".new.png");
    fs::remove(fresh);
    if (update) {
      write_screen_png(png, part.pixels);
    } else if (const std::string pixel = screen_png_difference(png, part.pixels); !pixel.empty()) {
      add(png.filename().string() + ": " + pixel + " (the window is in " +
          fresh.filename().string() + ")");
      write_screen_png(fresh, part.pixels);
    }
  }
  return differences;
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
