#!/usr/bin/env bash
# Sound reaches a real audio device: the sample game (MIDI music, voices, an
# MP3) plays in a window under Xvfb with SDL's disk audio driver, and the
# device's file holds samples that are not silence.
set -euo pipefail
exe=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work
export XDG_CONFIG_HOME=$work/config
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE=$work/device.raw
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

fail() { echo "FAIL: $*" >&2; exit 1; }

# A copy: the game writes its menu choices (envdata) into its folder at exit.
cp -r "$source_dir/examples/sample" "$work/sample"
xvfb-run -a -s "-screen 0 1280x1024x24" "$exe" --input "$work/sample/demo.input" \
  --trace "$work/sample.trace" "$work/sample" || fail "sample game exited with $?"
grep -q ' audio midi start "music.mid" loop=1$' "$work/sample.trace" || fail "the music never started"
[ -s "$work/device.raw" ] || fail "nothing reached the audio device"
loud=$(tr -d '\000' < "$work/device.raw" | wc -c)
[ "$loud" -gt 10000 ] || fail "the audio device received only silence ($loud non-zero bytes)"
echo "ok: $(wc -c < "$work/device.raw") bytes at the device, $loud of them not zero"
