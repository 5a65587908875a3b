// State of the script engine: the scenario buffer and its labels, the
// interpreter's position and flags, the gosub stack and the trap.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/name_index.h"

namespace vellumite {

constexpr int32_t kScriptBufferSize = 5242880;
constexpr int kScenarioFileCount = 100;
constexpr int32_t kMissingFileEnd = 9999999;
constexpr int kMaxLabels = 5000;
constexpr int kGosubDepth = 1000;
// The longest text line the display takes; longer assembled lines are kept
// whole rather than cut.
constexpr size_t kTextLineBytes = 527;

struct Label {
  int32_t position = 0;
  std::string name;  // lowercase
};

struct ScriptState {
  // The scenario: Shift-JIS bytes as loaded, each file followed by a line
  // feed, the whole terminated by NUL. Allocated once per cycle.
  std::unique_ptr<char[]> script_buffer;
  int32_t script_length = 0;  // offset of the terminating NUL
  int32_t script_pos = 0;
  std::array<int32_t, kScenarioFileCount> file_end_table{};
  bool numbered_files = false;  // the buffer came from 0.txt ... 99.txt
  bool utf8_scenario = false;   // config.txt says the scenario files are UTF-8

  std::vector<Label> label_table;  // in order of definition
  int label_count = 0;
  // Name to index of its first definition, so a jump does not walk 5000 names.
  NameIndex label_index;
  // One for each label, set when the game reaches it; empty (nothing kept)
  // unless the auto player runs.
  std::vector<bool> labels_reached;

  // The name of the command being run, for messages (a view of the command
  // table's word or of a fixed name for text lines).
  std::string_view current_command;

  bool define_mode = false;
  bool define_done = false;
  bool restart_requested = false;
  bool reset_requested = false;
  bool load_done = false;
  bool menu_busy = false;

  std::string trap_label;  // empty: no trap armed
  std::array<int32_t, kGosubDepth> gosub_stack{};
  int gosub_depth = 0;

  // Statements since the last time the interpreter let the platform breathe.
  uint32_t statements_since_yield = 0;
};

}  // namespace vellumite
