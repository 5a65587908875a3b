#!/usr/bin/env bash
# Every C++ file is clang-formatted.
set -euo pipefail
cd "$2"
command -v clang-format >/dev/null || { echo "clang-format missing"; exit 1; }
git ls-files -- '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror
