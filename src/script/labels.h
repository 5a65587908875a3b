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
// Fills `script_buffer` with `bytes` as if they were the content of an
// unscrambled single file (a line feed and the NUL follow them), without
// touching the disk. For the fuzzer and the benchmarks.
void load_scenario_from_bytes(Engine& e, std::string_view bytes);
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

// Scrambles or unscrambles (XOR undoes itself) the bytes of a single
// scenario file; data[0] is the first byte of the file.
void scramble_scenario(char* data, size_t size, bool secret);
// Text-mode reading of a numbered file: a carriage return before a line
// feed is dropped and a byte 0x1A ends the text. Appends at most `room`
// bytes to `out`; returns how many.
size_t copy_text_mode(std::string_view raw, char* out, size_t room);

}  // namespace vellumite
