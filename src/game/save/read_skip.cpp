#include "game/save/read_skip.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "resources/plain_files.h"

namespace vellumite {
namespace {

// A record holds at most this many lines (16 MB of file).
constexpr size_t kMaxReadLines = size_t{4} << 20;

// "<data home>/vellumite/read-<hash of the game folder>.dat"; "" when the
// data home or the game folder is not known.
std::string record_path(Engine& e) {
  const std::string home = e.platform.data_home();
  const std::string game = e.platform.current_folder();
  if (home.empty() || game.empty()) return "";
  uint64_t h = 14695981039346656037ull;
  for (char c : game) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  char name[40];
  std::snprintf(name, sizeof name, "read-%016llx.dat", static_cast<unsigned long long>(h));
  return home + (home.back() == '/' ? "" : "/") + "vellumite/" + name;
}

void load_read_record(Engine& e) {
  ReadRecord& r = e.save.read_record;
  r.loaded = true;
  const std::string_view scenario(e.script.script_buffer.get(),
                                  static_cast<size_t>(std::max(e.script.script_length, 0)));
  r.scenario_size = static_cast<uint32_t>(scenario.size());
  r.scenario_hash = scenario_hash(scenario);
  r.path = record_path(e);
  if (r.path.empty()) return;
  // A damaged file, or one of another scenario, is started over.
  if (std::optional<std::string> bytes = read_file_at(e.platform, r.path, kMaxReadLines * 4 + 64)) {
    parse_read_record(*bytes, r);
  }
}

}  // namespace

void note_text_line(Engine& e, int32_t position) {
  ReadRecord& r = e.save.read_record;
  if (!r.loaded) load_read_record(e);
  if (position < 0) return;
  const auto at = static_cast<uint32_t>(position);
  if (r.positions.count(at) != 0) return;
  ShellState& shell = e.shell;
  if (shell.player.skip_read_only && shell.skip_to_choice) shell.skip_to_choice = false;
  if (r.positions.size() >= kMaxReadLines) return;
  r.positions.insert(at);
  r.changed = true;
}

void write_read_record(Engine& e) {
  ReadRecord& r = e.save.read_record;
  if (!r.changed || r.path.empty()) return;
  if (e.platform.write_file(r.path, format_read_record(r))) r.changed = false;
}

}  // namespace vellumite
