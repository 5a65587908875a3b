#!/usr/bin/env bash
# The folders under src/ include each other one way only.
set -euo pipefail
python3 "$2/scripts/check-layers"
