#include "game/script/lint.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "base/sjis.h"
#include "game/engine.h"
#include "game/resources/archives.h"
#include "game/script/labels.h"
#include "resources/game_files.h"
#include "resources/plugins.h"
#include "script/lint_scan.h"

namespace vellumite {
namespace {

struct SourceFile {
  int32_t start = 0;  // offset of its first byte in the buffer
  std::string name;
};

// The files the buffer was loaded from, in buffer order.
std::vector<SourceFile> source_files(Engine& e) {
  const ScriptState& s = e.script;
  std::vector<SourceFile> files;
  if (!s.numbered_files) {
    const bool secret = !resolve_game_path(e.platform, "velm_sec.dat").empty();
    files.push_back(SourceFile{0, secret ? "velm_sec.dat" : "velmtxt.dat"});
    return files;
  }
  int32_t start = 0;
  for (int n = 0; n < kScenarioFileCount; ++n) {
    const int32_t end = s.file_end_table[static_cast<size_t>(n)];
    if (end == kMissingFileEnd) continue;
    files.push_back(SourceFile{start, std::to_string(n) + ".txt"});
    start = end + 1;
  }
  return files;
}

// Turns buffer offsets into "FILE:LINE".
class Locator {
 public:
  Locator(Engine& e, std::string_view text) : files_(source_files(e)) {
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') line_feeds_.push_back(static_cast<int32_t>(i));
    }
  }
  std::string place(int32_t offset) const {
    auto file = std::upper_bound(files_.begin(), files_.end(), offset,
                                 [](int32_t o, const SourceFile& f) { return o < f.start; });
    if (file == files_.begin()) return "0.txt:1";
    --file;
    auto feeds = [&](int32_t limit) {
      return std::lower_bound(line_feeds_.begin(), line_feeds_.end(), limit) - line_feeds_.begin();
    };
    return file->name + ":" + std::to_string(feeds(offset) - feeds(file->start) + 1);
  }

 private:
  std::vector<SourceFile> files_;
  std::vector<int32_t> line_feeds_;
};

// The numbered files or the packed file would not fit the buffer: loading
// them ends the program, which a check must not do.
bool scenario_too_long(Engine& e) {
  uint64_t total = 0;
  std::array<std::string, kScenarioFileCount> numbered = find_numbered_files(e.platform);
  if (numbered[0].empty()) {
    for (std::string_view single : {"velm_sec.dat", "velmtxt.dat"}) {
      const std::string path = resolve_game_path(e.platform, single);
      if (!path.empty()) return e.platform.file_size(path).value_or(0) + 1 >= kScriptBufferSize;
    }
  }
  for (const std::string& name : numbered) {
    if (!name.empty()) total += e.platform.file_size(name).value_or(0) + 1;
  }
  return total >= kScriptBufferSize;
}

// Whether the game finds `name` in its folder or in a registered archive
// (a copy taken out of an archive is removed at once).
bool game_file_exists(Engine& e, std::string_view name) {
  if (!resolve_game_path(e.platform, name).empty()) return true;
  std::optional<std::string> copy = find_in_archives(e, name);
  if (!copy) return false;
  e.platform.remove_file(*copy);
  return true;
}

void check_files(Engine& e, LintScan& scan) {
  e.plugins.archive_plugins = scan.archives;
  if (!scan.archives.empty()) e.shell.temp_folder = e.platform.prepare_temp_folder();
  std::map<std::string, bool> found;
  for (const LintFileUse& use : scan.files) {
    auto [it, fresh] = found.try_emplace(use.name, false);
    if (fresh) it->second = game_file_exists(e, use.name);
    if (it->second) continue;
    scan.findings.push_back(LintFinding{
        use.offset, true,
        std::string(lint_file_kind_name(use.kind)) + " \"" + to_utf8(use.name) + "\" not found"});
  }
  unload_plugins(e.platform, e.plugins);
  if (!e.shell.temp_folder.empty()) e.platform.remove_temp_folder();
}

}  // namespace

LintReport lint_game(Platform& platform, Automation& automation) {
  Engine e(platform, automation);
  LintReport report;
  if (scenario_too_long(e)) {
    report.text = "0.txt:1: error: the scenario is longer than 5242879 bytes\n";
    report.exit_code = 1;
    return report;
  }
  load_scenario(e);
  const std::string_view text(e.script.script_buffer.get(),
                              static_cast<size_t>(e.script.script_length));
  if (text.empty()) {
    report.text = "0.txt:1: error: no scenario (0.txt ... 99.txt, velmtxt.dat or velm_sec.dat)\n";
    report.exit_code = 1;
    return report;
  }
  LintScan scan = scan_scenario(text);
  check_files(e, scan);
  std::stable_sort(scan.findings.begin(), scan.findings.end(),
                   [](const LintFinding& a, const LintFinding& b) { return a.offset < b.offset; });
  const Locator locator(e, text);
  for (const LintFinding& f : scan.findings) {
    report.text +=
        locator.place(f.offset) + (f.error ? ": error: " : ": warning: ") + f.message + "\n";
    if (f.error) report.exit_code = 1;
  }
  return report;
}

}  // namespace vellumite
