#!/usr/bin/env bash
# The real window under Xvfb: the sample game runs and ends, a close request
# is answered, and a second instance is refused.
set -euo pipefail
exe=$1
source_dir=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
# A lock file of our own, so a running player's instance does not interfere.
export XDG_RUNTIME_DIR=$work
# and a configuration folder of our own, so the window placement is not kept.
export XDG_CONFIG_HOME=$work/config
export SDL_AUDIODRIVER=dummy
# System libraries (Mesa, D-Bus, X11) leak a little at exit; not ours.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

fail() { echo "FAIL: $*" >&2; exit 1; }

run_x() { xvfb-run -a -s "-screen 0 1280x1024x24" "$@"; }

# 1. The sample game plays to its end in a window.
# (a copy: the game writes its menu choices, envdata, into its folder at exit)
cp -r "$source_dir/examples/sample" "$work/sample"
run_x "$exe" --input "$work/sample/demo.input" --trace "$work/sample.trace" \
  --screenshot "$work/sample.png" "$work/sample" || fail "sample game exited with $?"
grep -q ' wait page ' "$work/sample.trace" || fail "the sample game never waited for a page"
grep -q ' exit 0$' "$work/sample.trace" || fail "sample game trace has no exit 0"
[ -s "$work/sample.png" ] || fail "no screenshot"

# 2. A game that never waits: SIGTERM (the window manager's close) asks for
#    confirmation; the scripted answer says yes and the program ends with 0.
mkdir "$work/loop"
printf '*define\r\ngame\r\n*start\r\n*l\r\ngoto *l\r\n' > "$work/loop/0.txt"
printf 'answer yes\n' > "$work/yes.input"
printf 'answer ok\n' > "$work/ok.input"
run_x bash -c '
  "$1" --input "$2/yes.input" --trace "$2/close.trace" "$2/loop" & pid=$!
  sleep 2
  # A second instance is refused with a message while the first runs.
  "$1" --input "$2/ok.input" --trace "$2/second.trace" "$2/loop"; second=$?
  kill -TERM $pid
  wait $pid; first=$?
  echo "$first $second" > "$2/codes"
' _ "$exe" "$work"
read -r first second < "$work/codes"
[ "$second" = 0 ] || fail "second instance exited with $second"
grep -q 'msgbox "起動エラー" "同時に二つ実行しないでください" ok' "$work/second.trace" ||
  fail "second instance did not show the start-up error"
[ "$first" = 0 ] || fail "closed window exited with $first"
grep -q 'msgbox "終了確認" "終了しますか？" yes' "$work/close.trace" ||
  fail "closing did not ask for confirmation"
echo "window checks passed"
