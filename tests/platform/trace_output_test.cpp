// Where the trace goes: a file written line by line when asked (a window's
// run may end by a signal before any flush).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/headless/headless_platform.h"
#include "support/game_runner.h"

namespace vellumite {
namespace {

std::string contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(TraceOutput, EachLineReachesTheFileAsItIsWritten) {
  testing::GameDir dir;
  PlatformOptions options;
  options.trace_path = (dir.path() / "trace").string();
  options.trace_each_line = true;
  HeadlessPlatform platform(std::move(options));
  platform.trace("text", "\"one\"");
  EXPECT_EQ(contents(dir.path() / "trace"), "0 text \"one\"\n");
  platform.trace("text", "\"two\"");
  EXPECT_EQ(contents(dir.path() / "trace"), "0 text \"one\"\n0 text \"two\"\n");
}

}  // namespace
}  // namespace vellumite
