#!/usr/bin/env bash
# The player's volumes as a player meets them: volume keys in a window change
# the settings file in the configuration folder; a headless run leaves that
# file alone.
set -euo pipefail
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work
export XDG_CONFIG_HOME=$work/config
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/game" "$work/config/vellumite"
printf '*define\ngame\n*start\nwait 600\nend\n' > "$work/game/0.txt"
printf '@100 key f5\n@200 key f8\n@300 key f8\n' > "$work/keys"
settings=$work/config/vellumite/settings.ini
printf '[volume]\nsound=50\n' > "$settings"

xvfb-run -a -s "-screen 0 1024x768x24" "$exe" --input "$work/keys" --trace "$work/window.trace" \
  "$work/game" || fail "the windowed game exited with $?"
grep -q ' volume sound 50$' "$work/window.trace" || fail "the settings file was not read"
grep -q ' volume music 90$' "$work/window.trace" || fail "F5 did not turn the music down"
grep -q ' volume sound 70$' "$work/window.trace" || fail "F8 did not turn the sound up"
expected=$'[volume]\nmusic=90\nsound=70\nfilm=100'
[ "$(cat "$settings")" = "$expected" ] || fail "settings.ini holds: $(cat "$settings")"
[ "$(ls "$work/config/vellumite" | grep -c settings)" = 1 ] || fail "a temporary file was left"

"$exe" --headless --input "$work/keys" --trace "$work/headless.trace" "$work/game" ||
  fail "the headless game exited with $?"
[ "$(cat "$settings")" = "$expected" ] || fail "a headless run changed the player's settings"
grep -q ' volume sound 50$' "$work/headless.trace" && fail "a headless run read the player's settings"

echo "ok: the window kept the volumes in settings.ini; the headless run left it alone"
