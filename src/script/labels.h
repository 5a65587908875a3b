// The scenario buffer and its labels: loading the scenario, collecting the
// labels, jumping to one, and turning a buffer offset back into file and line.
#pragma once

#include <cstdint>
#include <string_view>

#include "shell/engine.h"

namespace vellumite {

// Fills `script_buffer` from 0.txt ... 99.txt, "velmtxt.dat" or "velm_sec.dat"
// in the current directory.
void load_scenario(Engine& e);
void build_label_table(Engine& e);
// `name` without the star, in any case.
void jump_to_label(Engine& e, std::string_view name);

struct FileLine {
  int file = 0;
  int line = 0;
};
FileLine locate_position(const Engine& e, int32_t offset);

// The key of "velm_sec.dat": byte i of the file is byte i of the scenario
// XOR kSecretKey[i % 5].
inline constexpr unsigned char kSecretKey[5] = {0x5C, 0xE3, 0x17, 0xA9, 0x6D};
inline constexpr unsigned char kPlainKey = 0xA7;  // "velmtxt.dat"

}  // namespace vellumite
