// How waits end on the headless clock: long waits end at their time without
// stepping through it, restarts and effects cannot run past the timeout, and
// a run that times out leaves as every other end does.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

struct WaitCase {
  const char* what;
  const char* scenario;
  const char* input;
  uint32_t timeout_ms;
  const char* last_line;  // the trace's exit line
  int32_t rounds = 0;     // %200 at the end: how often the game went round
};

const WaitCase kCases[] = {
    {"a wait of 2^31 - 1 ms ends at its time", "*define\ngame\n*start\nwait 2147483647\nend\n", "",
     4000000000u, "2147483647 exit 0"},
    {"a clicked delay ends at the click, far ahead",
     "*define\ngame\n*start\ndelay 2000000000\nend\n", "@1500000000 click 1 1\n", 4000000000u,
     "1500000000 exit 0"},
    {"a restart costs at least 1 ms", "*define\ngame\n*start\nadd %200,1\nreset\n", "", 50,
     "50 exit 124", 51},
    {"so does a restart of the whole game", "*define\ndefinereset\n", "", 20, "20 exit 124"},
    {"the timeout cuts a long effect short",
     "*define\neffect 2,10,100000\ngame\n*start\nbg #ff0000,2\nend\n", "", 20000, "20000 exit 124"},
    {"a click that ends auto mode leaves the next wait to the player",
     "*define\nautomode_time 1000\nmode_ext\ngame\n*start\nあ\\\nい\\\nend\n",
     "menu 40019\n@1500 click 1 1\n", 600000, "1501 exit 3"},
};

TEST(PlayerWait, EndsAtTheRightGameTime) {
  for (const WaitCase& c : kCases) {
    RunOptions options;
    options.input = c.input;
    options.timeout_ms = c.timeout_ms;
    const RunResult r = run_scenario(c.scenario, options);
    const std::string& trace = r.trace;
    const size_t start = trace.rfind('\n', trace.size() - 2);
    EXPECT_EQ(trace.substr(start == std::string::npos ? 0 : start + 1),
              std::string(c.last_line) + "\n")
        << c.what;
    EXPECT_EQ(r.num(200), c.rounds) << c.what;
  }
}

TEST(PlayerWait, TimeoutRemovesTheScratchFolder) {
  const std::filesystem::path tmp =
      std::filesystem::temp_directory_path() / ("vellumite-scratch-" + std::to_string(getpid()));
  std::filesystem::create_directories(tmp);
  const char* saved = std::getenv("TMPDIR");
  const std::string before = saved != nullptr ? saved : "";
  setenv("TMPDIR", tmp.c_str(), 1);
  RunOptions options;
  options.timeout_ms = 50;
  const RunResult r = run_scenario("*define\ngame\n*start\nwait 100\nend\n", options);
  if (saved != nullptr) {
    setenv("TMPDIR", before.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
  EXPECT_EQ(r.exit_code, 124);
  EXPECT_FALSE(std::filesystem::exists(tmp / ("vellumite-" + std::to_string(getuid()))));
  std::filesystem::remove_all(tmp);
}

}  // namespace
}  // namespace vellumite::testing
