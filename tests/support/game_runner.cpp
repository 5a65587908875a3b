#include "support/game_runner.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "base/sjis.h"
#include "game/script/labels.h"
#include "game/shell/entry.h"
#include "platform/headless/headless_platform.h"
#include "script/scenario_text.h"

namespace vellumite::testing {
namespace fs = std::filesystem;

GameDir::GameDir() {
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() /
          ("vellumite-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

GameDir::~GameDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

InDir::InDir(const GameDir& dir) : before_(fs::current_path()) { fs::current_path(dir.path()); }
InDir::~InDir() { fs::current_path(before_); }

std::string scramble(std::string bytes, bool secret) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>(bytes[i] ^ (secret ? kSecretKey[i % 5] : kPlainKey));
  }
  return bytes;
}

std::string screen_hash(const std::vector<uint8_t>& pixels) {
  uint64_t h = 14695981039346656037u;
  for (uint8_t b : pixels) h = (h ^ b) * 1099511628211u;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void write_file(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void GameDir::write_bytes(const std::string& name, std::string_view bytes) const {
  write_file(path_ / name, bytes);
}

void GameDir::write_game_file(const std::string& name, std::string_view bytes) const {
  const bool utf8 = fs::path(name).extension() != ".txt" || bytes.starts_with("\xEF\xBB\xBF");
  write_bytes(name, utf8 ? std::string(bytes) : to_sjis(bytes));
}

void GameDir::write_text(const std::string& name, std::string_view utf8) const {
  write_bytes(name, to_sjis(utf8));
}

namespace {

// Calls f(time, fields) for each trace line whose event is `event`.
template <typename F>
void each_event(const std::string& trace, std::string_view event, F f) {
  std::istringstream in(trace);
  for (std::string line; std::getline(in, line);) {
    const size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    const std::string_view rest = std::string_view(line).substr(space + 1);
    if (rest.substr(0, event.size()) != event) continue;
    const auto time = static_cast<uint32_t>(std::stoul(line));
    if (rest.size() == event.size()) f(time, std::string_view());
    if (rest.size() > event.size() && rest[event.size()] == ' ') {
      f(time, rest.substr(event.size() + 1));
    }
  }
}

// Splits quoted trace fields back into their texts; bare words stay as they are.
std::vector<std::string> unquote_fields(std::string_view fields) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < fields.size()) {
    if (fields[i] == ' ') {
      ++i;
      continue;
    }
    std::string field;
    if (fields[i] == '"') {
      for (++i; i < fields.size() && fields[i] != '"'; ++i) {
        if (fields[i] == '\\' && i + 1 < fields.size()) {
          ++i;
          field += fields[i] == 'n' ? '\n' : fields[i] == 'r' ? '\r' : fields[i];
        } else {
          field += fields[i];
        }
      }
      ++i;
    } else {
      while (i < fields.size() && fields[i] != ' ') field += fields[i++];
    }
    out.push_back(std::move(field));
  }
  return out;
}

}  // namespace

std::vector<std::string> RunResult::events(std::string_view event) const {
  std::vector<std::string> out;
  each_event(trace, event, [&](uint32_t, std::string_view fields) { out.emplace_back(fields); });
  return out;
}

std::vector<uint32_t> RunResult::times(std::string_view event) const {
  std::vector<uint32_t> out;
  each_event(trace, event, [&](uint32_t time, std::string_view) { out.push_back(time); });
  return out;
}

std::vector<std::string> RunResult::texts() const {
  std::vector<std::string> out;
  for (const std::string& fields : events("text")) out.push_back(unquote_fields(fields).at(0));
  return out;
}

std::vector<std::string> RunResult::boxes() const {
  std::vector<std::string> out;
  for (const std::string& fields : events("msgbox")) {
    std::vector<std::string> f = unquote_fields(fields);
    out.push_back(f.at(0) + "|" + f.at(1) + "|" + f.at(2));
  }
  return out;
}

std::string only_error(const RunResult& r) {
  EXPECT_EQ(r.exit_code, 2);
  std::vector<std::string> boxes = r.boxes();
  if (boxes.size() != 1) return "(" + std::to_string(boxes.size()) + " boxes)";
  return boxes[0].substr(0, boxes[0].find('\n'));
}

int32_t RunResult::num(int n) const {
  std::string prefix = "%" + std::to_string(n) + " ";
  for (const std::string& fields : events("var")) {
    if (fields.rfind(prefix, 0) == 0) return std::stoi(fields.substr(prefix.size()));
  }
  return 0;
}

std::string RunResult::str(int n) const {
  std::string prefix = "$" + std::to_string(n) + " ";
  for (const std::string& fields : events("var")) {
    if (fields.rfind(prefix, 0) == 0) return unquote_fields(fields.substr(prefix.size())).at(0);
  }
  return "";
}

RunResult run_game(const GameDir& dir, const RunOptions& options) {
  InputParseResult input = parse_input_script(options.input);
  if (!input.error.empty()) throw std::runtime_error(input.error);
  std::ostringstream trace;
  PlatformOptions platform_options;
  platform_options.input = std::move(input.events);
  platform_options.trace = &trace;
  platform_options.timeout_ms = options.timeout_ms;
  platform_options.audio_out_path = options.audio_out;
  platform_options.settings_path = options.settings;
  std::istringstream play(options.play);
  for (std::string word; play >> word;) {
    if (word == "--auto") platform_options.play.auto_play = true;
    if (word == "--seed" && play >> word) platform_options.play.seed = std::stoul(word);
    if (word == "--warp" && play >> word) platform_options.play.warp_label = word;
  }
  // Nothing a test plays reaches the user's own folders.
  platform_options.data_home =
      options.data_home.empty() ? (dir.path() / "data-home").string() : options.data_home;
  platform_options.pictures_folder = dir.path().string();

  RunResult result;
  {
    InDir in_dir(dir);
    HeadlessPlatform platform(std::move(platform_options));
    result.exit_code = run_program(platform, platform);
    const uint8_t* pixels = platform.window_pixels();
    result.pixels.assign(pixels, pixels + kWindowBytes);
    result.title = platform.title();
  }
  result.trace = trace.str();
  return result;
}

std::string game_script(std::string_view body, std::string_view define) {
  return "*define\n" + std::string(define) + "game\n*start\n" + std::string(body);
}

RunResult run_scenario(std::string_view scenario_utf8, const RunOptions& options) {
  GameDir dir;
  dir.write_text("0.txt", scenario_utf8);
  return run_game(dir, options);
}

}  // namespace vellumite::testing
