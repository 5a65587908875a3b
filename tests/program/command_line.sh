#!/usr/bin/env bash
# The command line as an author uses it: timeouts, the trace on standard
# output, and the exit codes of a bad command line or game folder.
set -euo pipefail
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

fail() { echo "FAIL: $*" >&2; exit 1; }
run() { set +e; "$@" >"$work/out" 2>"$work/err"; code=$?; set -e; }

mkdir "$work/game"
printf '*define\ngame\n*start\nwait 20\nend\n' >"$work/game/0.txt"

# Timeouts: 1 .. 2^53 ms; anything else is refused with the usage text.
for bad in 0 -1 +5 " 5" 5x 9007199254740993 18446744073709551616 99999999999999999999; do
  run "$exe" --headless --timeout-ms "$bad" "$work/game"
  [ "$code" = 64 ] || fail "--timeout-ms '$bad' exited with $code"
  grep -q '^usage: vellumite' "$work/err" || fail "--timeout-ms '$bad' shows no usage"
done
for good in 4294967296 9007199254740992; do
  run "$exe" --headless --timeout-ms "$good" --trace - "$work/game"
  [ "$code" = 0 ] || fail "--timeout-ms $good exited with $code"
done
run "$exe" --headless --timeout-ms 10 --trace - "$work/game"
[ "$code" = 124 ] || fail "a 10 ms timeout exited with $code"

# The trace on standard output follows what is already there.
echo "before" >"$work/log"
set +e
"$exe" --headless --trace - "$work/game" >>"$work/log" 2>/dev/null
set -e
[ "$(head -n 1 "$work/log")" = before ] || fail "--trace - lost the earlier output"
[ "$(tail -n 1 "$work/log")" = "20 exit 0" ] || fail "--trace - ends with: $(tail -n 1 "$work/log")"
tr -d '\0' <"$work/log" | cmp -s - "$work/log" || fail "--trace - wrote zero bytes"

# A file inside the game folder (as a desktop passes it) plays that game.
out=$("$exe" --headless --trace - "$work/game/0.txt" 2>/dev/null || true)
[ "$(printf '%s\n' "$out" | tail -n 1)" = "20 exit 0" ] || fail "a file in the game folder: $out"

# Exit codes: 64 a bad command line, 65 a malformed input script, 66 an
# unreadable input script or game folder.
run "$exe" --no-such-option
[ "$code" = 64 ] || fail "an unknown option exited with $code"
printf 'jump\n' >"$work/bad.input"
run "$exe" --headless --input "$work/bad.input" "$work/game"
[ "$code" = 65 ] || fail "a malformed input script exited with $code"
run "$exe" --headless --input "$work/missing.input" "$work/game"
[ "$code" = 66 ] || fail "a missing input script exited with $code"
run "$exe" --headless "$work/no-such-folder"
[ "$code" = 66 ] || fail "a missing game folder exited with $code"
echo ok
