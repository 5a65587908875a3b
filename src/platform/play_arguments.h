// The command-line options that make the game play itself or start at a
// label: `--auto`, `--seed N` (with --auto), `--warp LABEL`.
#pragma once

#include "platform/backend_only.h"
#include "platform/platform.h"

namespace vellumite {

// Reads the option at argv[i] (and its value, moving `i` past it) into
// `play`. Returns -1 when argv[i] is none of these options, 0 when it was
// read, 64 after writing a usage error on standard error.
int parse_play_argument(int argc, char** argv, int& i, PlayOptions& play);

}  // namespace vellumite
