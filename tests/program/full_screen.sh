#!/usr/bin/env bash
# Full screen asked for on an X server without a window manager, where
# nothing acts on the request: the window keeps its size and its menu bar,
# and the program says why.
set -euo pipefail
exe=$1
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work/config SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir "$work/game"
# Full screen (menu 40002) at 1 s of a 5 s game; the window is looked at as
# soon as the refusal is written, while the game still runs.
printf '*define\ngame\n*start\nwait 5000\nend\n' >"$work/game/0.txt"
printf '@1000 menu 40002\n' >"$work/fs.input"
cat >"$work/run.sh" <<SCRIPT
"$exe" --input "$work/fs.input" --trace "$work/trace" "$work/game" 2>"$work/err" &
for i in \$(seq 200); do grep -q 'full screen refused' "$work/err" && break; sleep 0.1; done
xwininfo -root -tree >"$work/windows"
wait \$!
SCRIPT
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/run.sh" || fail "the game exited with $?"
grep -q 'full screen refused' "$work/err" || fail "no word of the refusal: $(cat "$work/err")"
grep -q '"vellumite").*640x500' "$work/windows" || fail "the window changed: $(grep vellumite "$work/windows")"
grep -q ' exit 0$' "$work/trace" || fail "no exit 0"
echo ok
