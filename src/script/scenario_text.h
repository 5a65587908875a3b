// The bytes of scenario files: the scrambling of the single packed file and
// the text-mode reading of the numbered ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vellumite {

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
