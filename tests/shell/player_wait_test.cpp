// How waits end on the headless clock: the jumping clock keeps every time of
// a clock stepped round by round, and a run that times out leaves as every
// other end does. (Long waits, restarts and timeouts are recorded games.)
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>

#include "game/shell/entry.h"
#include "graphics/bmp.h"
#include "graphics/surface.h"
#include "platform/headless/headless_platform.h"
#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

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

// The headless clock as a wait that never sleeps would move it: one idle
// round (an empty look at the queue and a yield) at a time.
class SteppingPlatform final : public HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;
  void wait_message(uint32_t, bool) override { yield(); }
};

// The trace and the window of the game in `dir` on either clock.
template <typename P>
std::pair<std::string, std::string> play(const GameDir& dir, const char* input,
                                         uint32_t timeout_ms) {
  std::ostringstream trace;
  PlatformOptions options;
  options.input = parse_input_script(input).events;
  options.trace = &trace;
  options.timeout_ms = timeout_ms;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  P platform(std::move(options));
  run_program(platform, platform);
  std::filesystem::current_path(before);
  const char* pixels = reinterpret_cast<const char*>(platform.window_pixels());
  return {trace.str(), std::string(pixels, pixels + kWindowBytes)};
}

// Three 8x8 cells: red, green, blue.
std::string cells_bmp() {
  Surface s;
  create_blank(s, 24, 8, 24);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 24; ++x) s.row(y)[x * 3 + 2 - x / 8] = 255;
  }
  return encode_bmp(s);
}

// Every kind of wait with animation, timer 1 and timed input around it.
const char* const kAnimatedGame = R"(*define
automode_time 700
mode_ext
effect 2,10,300
game
*start
setwindow 48,300,21,5,26,26,0,4,20,1,1,#6070a0,32,290,607,463
lsp 0,":a/3,70,0;c.bmp",500,40
lsp 1,":a/3,45,1;c.bmp",20,40
lsp 2,":a/3,110,2;c.bmp",300,40
print 2
wait 1234
delay 5777
resettimer
waittimer 2500
あいうえお\
textspeed 37
かきくけこ@さしすせそ\
select "一",*a,"二",*a
*a
wait 60000
た\
ち\
btndef "c.bmp"
btn 1,200,120,8,8,0,0
btnwait %2
end
)";

TEST(PlayerWait, TheJumpingClockKeepsEveryTimeOfTheSteppingOne) {
  GameDir dir;
  dir.write_text("0.txt", kAnimatedGame);
  dir.write_bytes("c.bmp", cells_bmp());
  const char* input =
      "+3000 click 5 5\n+3333 click 300 400\nclick 300 400\n+44 move 60 330\n+5555 click 60 330\n"
      "+2000 click 10 10\n+100 move 60 310\n+50 click 60 310\nmenu 40019\n+1000 click 10 10\n"
      "click 5 5\nmove 204 124\n+40 click 204 124\n";
  for (uint32_t timeout : {600000u, 70000u}) {
    const auto jumped = play<HeadlessPlatform>(dir, input, timeout);
    const auto stepped = play<SteppingPlatform>(dir, input, timeout);
    EXPECT_EQ(jumped.first, stepped.first) << timeout;
    EXPECT_TRUE(jumped.second == stepped.second) << "the window differs, timeout " << timeout;
  }
}

}  // namespace
}  // namespace vellumite::testing
