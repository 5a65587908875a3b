// The scenario buffer and its labels: loading the scenario, collecting the
// labels, jumping to one, and turning a buffer offset back into file and line.
#pragma once

#include <cstdint>
#include <string_view>

namespace vellumite {

struct Engine;

struct FileLine {
  int file = 0;
  int line = 0;
};

// Fills `script_buffer` from 0.txt ... 99.txt, "velmtxt.dat" or "velm_sec.dat"
// in the current directory.
void load_scenario(Engine& e);

// Fills `script_buffer` with `bytes` as if they were the content of an
// unscrambled single file (a line feed and the NUL follow them), without
// touching the disk. For the fuzzer and the benchmarks.
void load_scenario_from_bytes(Engine& e, std::string_view bytes);

void build_label_table(Engine& e);

// `name` without the star, in any case.
void jump_to_label(Engine& e, std::string_view name);

FileLine locate_position(const Engine& e, int32_t offset);

}  // namespace vellumite
