// Runs small games through the headless backend and hands back what a
// player or an author would observe: the exit code, the trace, the window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vellumite::testing {

// A game folder in the temp directory, removed again at the end of the test.
class GameDir {
 public:
  GameDir();
  ~GameDir();
  GameDir(const GameDir&) = delete;
  GameDir& operator=(const GameDir&) = delete;

  // Writes a file with exactly these bytes.
  void write_bytes(const std::string& name, std::string_view bytes) const;
  // Writes a scenario file given in UTF-8; it is stored as Shift-JIS.
  void write_text(const std::string& name, std::string_view utf8) const;
  // A file of a game kept in tests/games: "N.txt" is UTF-8 and stored as
  // Shift-JIS (unless it starts with a byte-order mark), anything else is
  // copied as it is.
  void write_game_file(const std::string& name, std::string_view bytes) const;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Makes a game folder the current directory until the end of the scope.
class InDir {
 public:
  explicit InDir(const GameDir& dir);
  ~InDir();
  InDir(const InDir&) = delete;
  InDir& operator=(const InDir&) = delete;

 private:
  std::filesystem::path before_;
};

// Scenario bytes scrambled as "velm_sec.dat" (secret) or "velmtxt.dat" keep them.
std::string scramble(std::string bytes, bool secret);

// The bytes of a file ("" when it cannot be read); writes one, with folders.
std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, std::string_view bytes);

// A 64-bit FNV-1a hash of a window's pixels, as 16 hex digits.
std::string screen_hash(const std::vector<uint8_t>& pixels);

struct RunResult {
  int exit_code = -1;
  std::string trace;
  std::vector<uint8_t> pixels;  // the window surface at exit
  std::string title;

  // The trace lines whose event is `event`, without time and event name.
  std::vector<std::string> events(std::string_view event) const;
  // The `text` lines, unquoted.
  std::vector<std::string> texts() const;
  // The message boxes as "title|text|answer", unquoted.
  std::vector<std::string> boxes() const;
  // The clock times of the trace lines whose event is `event`.
  std::vector<uint32_t> times(std::string_view event) const;
  // The value of %n (0 when the trace does not list it) or $n.
  int32_t num(int n) const;
  std::string str(int n) const;
};

// "title|first line of the message" of the only message box of a run that a
// fatal error ended (checks the exit code 2), or "(N boxes)".
std::string only_error(const RunResult& r);

struct RunOptions {
  std::string input;  // scripted input, in the --input format
  uint32_t timeout_ms = 600000;
  std::string audio_out = {};  // write the mixed sound here (WAVE)
  std::string settings = {};   // the player's settings file; none kept when empty
  std::string play = {};       // --auto, --seed N, --warp LABEL (words apart)
  std::string data_home = {};  // the user's data folder; empty: one inside the game folder
};

// A scenario: the define block `define`, then `game`, `*start` and `body`.
std::string game_script(std::string_view body, std::string_view define = "");

// Runs the game in `dir` headless.
RunResult run_game(const GameDir& dir, const RunOptions& options = {});
// Writes `scenario_utf8` as 0.txt of a fresh folder and runs it.
RunResult run_scenario(std::string_view scenario_utf8, const RunOptions& options = {});

}  // namespace vellumite::testing
