#!/usr/bin/env bash
# vellumite-pack as an author runs it: where it writes, how unpack finds the
# form of a file, what it keeps, and the exit codes of what it refuses.
set -euo pipefail
exe=$1
pack="$(dirname "$exe")/../tools/vellumite-pack"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

fail() { echo "FAIL: $*" >&2; exit 1; }
run() { set +e; "$@" >"$work/out" 2>&1; code=$?; set -e; }
expect() { # CODE COMMAND...: the command exits with CODE
  local want=$1; shift
  run "$@"
  [ "$code" = "$want" ] || fail "$* exited with $code, not $want: $(cat "$work/out")"
}

# pack --secret writes velm_sec.dat into the folder, which the game then
# plays without its numbered files; unpack puts 0.txt next to the file.
mkdir "$work/g"
printf '*define\ngame\n*start\n本文\nend\n' | iconv -f UTF-8 -t SHIFT_JIS >"$work/text"
cp "$work/text" "$work/g/1.txt"
expect 0 "$pack" pack --secret "$work/g"
[ -f "$work/g/velm_sec.dat" ] && [ ! -e "$work/g/velmtxt.dat" ] || fail "pack --secret wrote elsewhere"
rm "$work/g/1.txt"
expect 0 "$exe" --headless --trace - "$work/g"
grep -q '^0 text "本文"$' "$work/out" || fail "the packed game shows: $(cat "$work/out")"
expect 0 "$pack" unpack "$work/g/velm_sec.dat"
cmp -s "$work/g/0.txt" "$work/text" || fail "unpack changed the text"
grep -q note "$work/out" && fail "unpack added a note: $(cat "$work/out")"

# The form comes from the file name unless told: an unknown name needs
# --plain or --secret, and a misnamed file is read as told.
mkdir "$work/u"
cp "$work/text" "$work/u/0.txt"
expect 0 "$pack" pack -o "$work/u/plain" "$work/u"
expect 0 "$pack" pack --secret -o "$work/u/VELM_SEC.DAT" "$work/u"
rm "$work/u/0.txt"
cp "$work/u/plain" "$work/u/story.bin"
cp "$work/u/VELM_SEC.DAT" "$work/u/velmtxt.dat"
expect 64 "$pack" unpack "$work/u/story.bin"
grep -q -- --plain "$work/out" || fail "no hint at --plain: $(cat "$work/out")"
[ ! -e "$work/u/0.txt" ] || fail "unpack of an unknown form wrote 0.txt"
expect 0 "$pack" unpack --plain -o "$work/u/a.txt" "$work/u/story.bin"
expect 0 "$pack" unpack -o "$work/u/b.txt" "$work/u/VELM_SEC.DAT"
expect 0 "$pack" unpack --secret -o "$work/u/c.txt" "$work/u/velmtxt.dat"
for out in a b c; do cmp -s "$work/u/$out.txt" "$work/text" || fail "$out.txt differs"; done

# An existing 0.txt is kept unless --force is given.
printf "the author's own copy" >"$work/u/0.txt"
expect 73 "$pack" unpack "$work/u/VELM_SEC.DAT"
grep -q -- --force "$work/out" || fail "no hint at --force: $(cat "$work/out")"
[ "$(cat "$work/u/0.txt")" = "the author's own copy" ] || fail "unpack overwrote 0.txt"
expect 0 "$pack" unpack --force "$work/u/VELM_SEC.DAT"
cmp -s "$work/u/0.txt" "$work/text" || fail "unpack --force did not write 0.txt"

# Refused: a folder without scenario files (66, nothing written), a missing
# folder (66), and bad command lines (64).
mkdir "$work/e"
printf '*define\n' >"$work/e/10.text"
expect 66 "$pack" pack "$work/e"
grep -q "no scenario files" "$work/out" || fail "pack of an empty folder says: $(cat "$work/out")"
[ ! -e "$work/e/velmtxt.dat" ] || fail "pack of an empty folder wrote velmtxt.dat"
expect 66 "$pack" pack "$work/e/missing"
expect 64 "$pack"
expect 64 "$pack" squash "$work/e"
expect 64 "$pack" pack --level 9 "$work/e"
expect 64 "$pack" pack -o
expect 64 "$pack" unpack --secret --plain velmtxt.dat
expect 0 "$pack" --help
echo ok
