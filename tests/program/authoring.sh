#!/usr/bin/env bash
# What an author runs: the sample game playing itself, a start label the
# game lacks, and vellumite-pack over UTF-8 scenario files.
set -euo pipefail
exe=$1
pack="$(dirname "$exe")/../tools/vellumite-pack"
sample="$(dirname "$0")/../../examples/sample"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

fail() { echo "FAIL: $*" >&2; exit 1; }
run() { set +e; "$@" >"$work/out" 2>"$work/err"; code=$?; set -e; }
expect() { # CODE COMMAND...: the command exits with CODE
  local want=$1; shift
  run "$@"
  [ "$code" = "$want" ] || fail "$* exited with $code, not $want: $(cat "$work/out" "$work/err")"
}

expect 0 "$exe" --headless --auto --timeout-ms 100000000 "$sample"
grep -Eq '^auto: [0-9]+ pages, [0-9]+ choices, [0-9]+ of [0-9]+ labels reached' "$work/out" ||
  fail "no summary: $(cat "$work/out")"

expect 64 "$exe" --headless --warp '*nowhere' "$sample"
grep -q 'no label \*nowhere' "$work/err" || fail "unknown label not named: $(cat "$work/err")"

# A UTF-8 game with a byte-order mark, or named UTF-8 in config.txt, packs to
# the bytes of its Shift-JIS copy; a character Shift-JIS lacks is refused.
text='*define\ngame\n*start\n「全角」とｶﾀｶﾅ①\nend\n'
mkdir "$work/sjis" "$work/bom" "$work/config"
printf "$text" | iconv -f UTF-8 -t CP932 >"$work/sjis/0.txt"
printf "\xEF\xBB\xBF$text" >"$work/bom/0.txt"
printf "$text" >"$work/config/0.txt"
printf 'encoding utf-8\n' >"$work/config/config.txt"
for d in sjis bom config; do expect 0 "$pack" pack "$work/$d"; done
grep -q "without the line 'encoding utf-8'" "$work/err" || fail "no note on config.txt: $(cat "$work/err")"
cmp -s "$work/sjis/velmtxt.dat" "$work/bom/velmtxt.dat" || fail "the marked UTF-8 game packs differently"
cmp -s "$work/sjis/velmtxt.dat" "$work/config/velmtxt.dat" || fail "config.txt's UTF-8 packs differently"
printf '*define\ngame\n*start\n雪☃\nend\n' >"$work/config/1.txt"
expect 65 "$pack" pack "$work/config"
grep -q '1.txt line 4: U+2603 (☃) has no Shift-JIS form' "$work/err" || fail "$(cat "$work/err")"
