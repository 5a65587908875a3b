// vellumite [options] [GAME_DIR]: plays the game in GAME_DIR (or the current
// directory, or the sample game) in a window, or headless.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <new>
#include <sstream>
#include <string>

#include "base/sjis.h"
#include "game/script/lint.h"
#include "game/shell/entry.h"
#include "graphics/pixel_kernels.h"
#include "platform/headless/headless_platform.h"
#include "platform/play_arguments.h"
#include "platform/posix_system.h"
#include "platform/sdl/sdl_platform.h"

namespace fs = std::filesystem;
using namespace vellumite;

namespace {

constexpr const char* kUsage =
    "usage: vellumite [options] [GAME_DIR | FILE]\n"
    "Plays the visual-novel game in GAME_DIR, or in the folder that holds FILE\n"
    "(its 0.txt, say; default: the current directory; without a scenario\n"
    "there, the sample game).\n"
    "\n"
    "options:\n"
    "  --scale N          window scale factor (default: the largest that fits)\n"
    "  --headless         run without a window, on a virtual clock\n"
    "  --input FILE       scripted player input (one event a line)\n"
    "  --trace FILE       write what happens, one event a line (- for stdout)\n"
    "  --screenshot FILE  write the window as PNG at exit\n"
    "  --timeout-ms N     headless: give up after N ms of game time (exit 124)\n"
    "  --audio-out FILE   headless: write the mixed sound as a WAVE file\n"
    "  --auto             the game plays itself and ends with a summary of the\n"
    "                     pages, choices and labels reached\n"
    "  --seed N           with --auto: take choices at random from seed N\n"
    "  --warp LABEL       start the game at LABEL, right after the define block\n"
    "  --settings FILE    keep the player's settings (volumes) in FILE; headless\n"
    "                     runs keep none without it, windowed runs default to\n"
    "                     $XDG_CONFIG_HOME/vellumite/settings.ini\n"
    "  --lint             check the scenario without running it: print each\n"
    "                     problem as FILE:LINE: error|warning: message; exit 1\n"
    "                     when there is an error\n"
    "  --text-size N      the text window's characters at N % (100-400), within\n"
    "                     their cells\n"
    "  --help             show this text\n"
    "  --version          show the version\n";

struct CommandLine {
  bool headless = false;
  bool lint = false;
  int scale = 0;
  std::string input_path, trace_path, screenshot_path, audio_out_path, settings_path, game_dir;
  uint64_t timeout_ms = 600000;
  PlayOptions play;
  std::string overrides;  // settings for this run alone
};

// The longest timeout: 2^53 ms, beyond any game and exact in a double.
constexpr uint64_t kMaxTimeoutMs = uint64_t{1} << 53;

// A decimal number of digits only (no sign, no blanks) up to `max`.
bool read_count(const std::string& text, uint64_t max, uint64_t& out) {
  if (text.empty()) return false;
  uint64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<uint64_t>(c - '0');
    if (n > max) return false;
  }
  out = n;
  return true;
}

bool has_scenario(const fs::path& dir) {
  std::error_code ec;
  if (fs::exists(dir / "velmtxt.dat", ec) || fs::exists(dir / "velm_sec.dat", ec)) return true;
  for (int n = 0; n < 100; ++n) {
    if (fs::exists(dir / (std::to_string(n) + ".txt"), ec)) return true;
  }
  return false;
}

fs::path sample_game() {
  // Next to an installed program first, then the source tree it was built from.
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    fs::path installed = exe.parent_path().parent_path() / "share/vellumite/sample";
    if (has_scenario(installed)) return installed;
  }
  return VELLUMITE_SAMPLE_DIR;
}

// Paths given on the command line are relative to where the program started,
// not to the game folder it moves into.
std::string absolute(const std::string& path) {
  return path.empty() ? path : fs::absolute(path).string();
}

int parse(int argc, char** argv, CommandLine& cl) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) {
        std::cerr << "vellumite: " << arg << " needs a value\n";
        return false;
      }
      out = argv[++i];
      return true;
    };
    std::string number;
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (arg == "--version") {
      std::cout << "vellumite " << VELLUMITE_VERSION << "\n";
      return 0;
    } else if (arg == "--headless") {
      cl.headless = true;
    } else if (arg == "--lint") {
      cl.lint = true;
    } else if (arg == "--input") {
      if (!value(cl.input_path)) return 64;
    } else if (arg == "--trace") {
      if (!value(cl.trace_path)) return 64;
    } else if (arg == "--screenshot") {
      if (!value(cl.screenshot_path)) return 64;
    } else if (arg == "--audio-out") {
      if (!value(cl.audio_out_path)) return 64;
    } else if (arg == "--settings") {
      if (!value(cl.settings_path)) return 64;
    } else if (arg == "--text-size") {
      uint64_t n = 0;
      if (!value(number) || !read_count(number, 400, n) || n < 100) {
        std::cerr << "vellumite: --text-size takes a percentage from 100 to 400\n";
        return 64;
      }
      cl.overrides += "[player]\ntext_size=" + number + "\n";
    } else if (arg == "--scale" || arg == "--timeout-ms") {
      if (!value(number)) return 64;
      const bool scale = arg == "--scale";
      uint64_t n = 0;
      if (!read_count(number, scale ? 16 : kMaxTimeoutMs, n) || n < 1) {
        std::cerr << "vellumite: bad value for " << arg << ": " << number << "\n" << kUsage;
        return 64;
      }
      if (scale) {
        cl.scale = static_cast<int>(n);
      } else {
        cl.timeout_ms = n;
      }
    } else if (int code = parse_play_argument(argc, argv, i, cl.play); code >= 0) {
      if (code != 0) return code;
    } else if (!arg.empty() && arg[0] == '-') {
      std::cerr << "vellumite: unknown option " << arg << "\n" << kUsage;
      return 64;
    } else if (cl.game_dir.empty()) {
      cl.game_dir = arg;
    } else {
      std::cerr << "vellumite: only one game folder may be given\n";
      return 64;
    }
  }
  return -1;
}

}  // namespace

int run(int argc, char** argv) {
  // VELLUMITE_NO_SIMD (any value): the pixel kernels run without SIMD
  // instructions, to compare the two or to rule them out.
  if (std::getenv("VELLUMITE_NO_SIMD") != nullptr) vellumite::kernels::set_simd_enabled(false);
  CommandLine cl;
  if (int code = parse(argc, argv, cl); code >= 0) return code;
  if (!sjis_conversion_available()) {
    std::cerr << "vellumite: the C library cannot convert Shift-JIS (CP932); "
                 "a game's text cannot be shown without it\n";
    return 69;
  }

  PlatformOptions options;
  // "-" is standard output, written as a stream: never truncated or sought.
  if (cl.trace_path == "-") {
    options.trace = &std::cout;
  } else {
    options.trace_path = absolute(cl.trace_path);
  }
  // A window's run may end by a signal or an X error: its trace is written as
  // it happens.
  options.trace_each_line = !cl.headless;
  options.screenshot_path = absolute(cl.screenshot_path);
  options.audio_out_path = absolute(cl.audio_out_path);
  options.timeout_ms = cl.timeout_ms;
  options.play = cl.play;
  options.report = &std::cout;
  // A headless run is a test or a tool: it never reads or changes the
  // player's own settings unless a file is named.
  options.settings_path = absolute(cl.settings_path);
  if (options.settings_path.empty() && !cl.headless) options.settings_path = settings_file_path();
  options.settings_overrides = cl.overrides;
  options.data_home = user_data_folder();
  if (!cl.input_path.empty()) {
    std::ifstream in(cl.input_path, std::ios::binary);
    if (!in) {
      std::cerr << "vellumite: cannot read " << cl.input_path << "\n";
      return 66;
    }
    std::stringstream text;
    text << in.rdbuf();
    InputParseResult parsed = parse_input_script(text.str());
    if (!parsed.error.empty()) {
      std::cerr << "vellumite: " << cl.input_path << ": " << parsed.error << "\n";
      return 65;
    }
    options.input = std::move(parsed.events);
  }

  fs::path game = cl.game_dir.empty() ? fs::current_path() : fs::path(cl.game_dir);
  if (cl.game_dir.empty() && !has_scenario(game)) game = sample_game();
  // A desktop opens a game by a file inside its folder (its scenario).
  std::error_code kind_error;
  if (fs::is_regular_file(game, kind_error)) game = fs::absolute(game, kind_error).parent_path();
  std::error_code ec;
  fs::current_path(game, ec);
  if (ec) {
    std::cerr << "vellumite: cannot enter the game folder " << game << ": " << ec.message() << "\n";
    return 66;
  }

  if (cl.lint) {
    HeadlessPlatform platform(std::move(options));
    const LintReport report = lint_game(platform, platform);
    std::cout << report.text;
    return report.exit_code;
  }
  if (cl.headless) {
    HeadlessPlatform platform(std::move(options));
    return run_program(platform, platform);
  }
  std::string error;
  std::unique_ptr<SdlPlatform> platform = SdlPlatform::create(std::move(options), cl.scale, error);
  if (platform == nullptr) {
    std::cerr << "vellumite: cannot open a window: " << error
              << "\n(use --headless to run without a screen)\n";
    return 69;
  }
  return run_program(*platform, *platform);
}

int main(int argc, char** argv) {
  // The engine ends through its exit sequence when memory runs out; this
  // catches what is left (the command line, the window's creation).
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "vellumite: out of memory\n";
    return 70;
  }
}
