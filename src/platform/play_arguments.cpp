#include "platform/play_arguments.h"

#include <iostream>
#include <string>

namespace vellumite {

int parse_play_argument(int argc, char** argv, int& i, PlayOptions& play) {
  const std::string arg = argv[i];
  if (arg == "--auto") {
    play.auto_play = true;
    return 0;
  }
  if (arg != "--seed" && arg != "--warp") return -1;
  if (i + 1 >= argc) {
    std::cerr << "vellumite: " << arg << " needs a value\n";
    return 64;
  }
  const std::string value = argv[++i];
  if (arg == "--warp") {
    play.warp_label = value.starts_with('*') ? value.substr(1) : value;
    if (!play.warp_label.empty()) return 0;
    std::cerr << "vellumite: --warp needs a label\n";
    return 64;
  }
  // Digits only, up to 2^32 - 1.
  uint64_t seed = 0;
  for (char c : value) {
    seed = seed * 10 + static_cast<uint64_t>(c - '0');
    if (c < '0' || c > '9' || seed > UINT32_MAX) {
      std::cerr << "vellumite: bad value for --seed: " << value << "\n";
      return 64;
    }
  }
  if (value.empty()) {
    std::cerr << "vellumite: bad value for --seed: \n";
    return 64;
  }
  play.seed = static_cast<uint32_t>(seed);
  play.auto_play = true;
  return 0;
}

}  // namespace vellumite
