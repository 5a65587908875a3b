// vellumite-pack: a packed scenario must load and play exactly like the
// numbered files it came from, and the tool must refuse what the game would
// refuse. The tool runs from the build tree; its command line, where it
// writes and what unpack keeps are tested in tests/program/pack_tool.sh.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "game/engine.h"
#include "game/script/labels.h"
#include "platform/headless/headless_platform.h"
#include "support/game_runner.h"

namespace vellumite::testing {
namespace {
namespace fs = std::filesystem;

struct ToolResult {
  int exit_code = -1;
  std::string output;  // stdout and stderr together
};

fs::path tool_path() {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "tools" /
         "vellumite-pack";
}

std::string shell_quoted(const std::string& arg) {
  std::string out = "'";
  for (char c : arg) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

ToolResult run_tool(const std::vector<std::string>& args) {
  ToolResult result;
  fs::path tool = tool_path();
  if (!fs::exists(tool)) {
    ADD_FAILURE() << tool << " is missing; build the target vellumite-pack";
    return result;
  }
  std::string command = shell_quoted(tool.string());
  for (const std::string& arg : args) command += " " + shell_quoted(arg);
  command += " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return result;
  }
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) result.output.append(chunk, n);
  int status = pclose(pipe);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// The script buffer the game loads in `dir`, without the terminating NUL;
// nullopt when loading ends the program.
std::optional<std::string> loaded_buffer(const GameDir& dir) {
  PlatformOptions options;
  options.quiet = true;
  HeadlessPlatform platform(std::move(options));
  auto engine = std::make_unique<Engine>(platform);
  std::optional<std::string> buffer;
  InDir in_dir(dir);
  try {
    load_scenario(*engine);
    buffer.emplace(engine->script.script_buffer.get(),
                   static_cast<size_t>(engine->script.script_length));
  } catch (const ProgramExit&) {
  }
  return buffer;
}

// A game spread over numbered files the way authors leave them: CR LF line
// ends, a gap in the numbers, an end-of-file byte with junk behind it, a
// file without a final line end.
void write_spread_game(const GameDir& dir) {
  dir.write_bytes("0.txt", to_sjis("*define\r\ncaption \"パック\"\r\ngame\r\n"));
  dir.write_bytes("2.txt", to_sjis("*start\r\nこんにちは\r\n\x1a*start\r\njunk\r\n"));
  dir.write_bytes("3.txt", to_sjis("さようなら\r"));
  dir.write_bytes("5.TXT", "end");
}

TEST(Pack, PackedGameLoadsAndPlaysLikeTheNumberedFiles) {
  GameDir numbered;
  write_spread_game(numbered);
  std::optional<std::string> expected = loaded_buffer(numbered);
  ASSERT_TRUE(expected.has_value());
  ASSERT_EQ(*expected, to_sjis("*define\ncaption \"パック\"\ngame\n\n*start\nこんにちは\n\n"
                               "さようなら\r\nend\n"));
  RunOptions clicks;
  clicks.input = "click 320 240\nclick 320 240\nclick 320 240\n";
  RunResult from_numbered = run_game(numbered, clicks);
  ASSERT_EQ(from_numbered.exit_code, 0);
  EXPECT_EQ(from_numbered.title, "パック");
  EXPECT_EQ(from_numbered.texts(), (std::vector<std::string>{"こんにちは", "さようなら\r"}));

  for (bool secret : {false, true}) {
    SCOPED_TRACE(secret ? "velm_sec.dat" : "velmtxt.dat");
    const char* name = secret ? "velm_sec.dat" : "velmtxt.dat";
    GameDir packed;
    std::vector<std::string> args = {"pack", "-o", (packed.path() / name).string(),
                                     numbered.path().string()};
    if (secret) args.insert(args.begin() + 1, "--secret");
    ToolResult pack = run_tool(args);
    ASSERT_EQ(pack.exit_code, 0) << pack.output;

    // The file itself: the text without its last line feed, scrambled from
    // the first byte of the file on.
    std::string file = read_file(packed.path() / name);
    EXPECT_EQ(scramble(file, secret), expected->substr(0, expected->size() - 1));

    EXPECT_EQ(loaded_buffer(packed), expected);
    RunResult from_packed = run_game(packed, clicks);
    EXPECT_EQ(from_packed.exit_code, from_numbered.exit_code);
    EXPECT_EQ(from_packed.trace, from_numbered.trace);

    // Unpacking gives the joined text back; its CR LF would read differently
    // as 0.txt, and the tool says so.
    GameDir unpacked;
    ToolResult unpack = run_tool(
        {"unpack", "-o", (unpacked.path() / "0.txt").string(), (packed.path() / name).string()});
    ASSERT_EQ(unpack.exit_code, 0) << unpack.output;
    EXPECT_EQ(read_file(unpacked.path() / "0.txt"), expected->substr(0, expected->size() - 1));
    EXPECT_NE(unpack.output.find("CR LF"), std::string::npos) << unpack.output;
  }
}

// The packer refuses exactly what the loader refuses: the joined text with a
// line feed after every file must leave the buffer's last byte free.
TEST(Pack, RefusesAScenarioTheBufferCannotHold) {
  const std::string head = "*define\ngame\n*start\nend\n;";
  auto filler = [&](size_t total) { return head + std::string(total - head.size(), 'x'); };
  const auto size = static_cast<size_t>(kScriptBufferSize);

  GameDir fits;  // (size - 3) + LF + 0 + LF = size - 1 bytes
  fits.write_bytes("0.txt", filler(size - 3));
  fits.write_bytes("1.txt", "");
  ToolResult pack = run_tool({"pack", fits.path().string()});
  ASSERT_EQ(pack.exit_code, 0) << pack.output;
  fs::remove(fits.path() / "0.txt");
  fs::remove(fits.path() / "1.txt");
  std::optional<std::string> loaded = loaded_buffer(fits);
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(loaded->size(), size - 1);
  EXPECT_EQ(run_game(fits).exit_code, 0);

  GameDir too_long;  // one byte more
  too_long.write_bytes("0.txt", filler(size - 2));
  too_long.write_bytes("1.txt", "");
  pack = run_tool({"pack", too_long.path().string()});
  EXPECT_EQ(pack.exit_code, 65);
  EXPECT_NE(pack.output.find("too long"), std::string::npos) << pack.output;
  EXPECT_FALSE(fs::exists(too_long.path() / "velmtxt.dat"));
  RunResult run = run_game(too_long);
  EXPECT_EQ(run.exit_code, 2);
  ASSERT_EQ(run.boxes().size(), 1u);
  EXPECT_NE(run.boxes()[0].find("シナリオが長すぎます。"), std::string::npos);
}

}  // namespace
}  // namespace vellumite::testing
