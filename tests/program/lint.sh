#!/usr/bin/env bash
# vellumite --lint as an author runs it: the sample game passes, a broken
# copy of it gives exactly the seeded mistakes, and a packed scenario is
# named by its file.
set -euo pipefail
exe=$1
src=$2
pack="$(dirname "$exe")/../tools/vellumite-pack"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work TMPDIR=$work
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

fail() { echo "FAIL: $*" >&2; exit 1; }
lint() { set +e; "$exe" --lint "$1" >"$work/out" 2>"$work/err"; code=$?; set -e; }
sjis() { iconv -f UTF-8 -t SHIFT_JIS; }

lint "$src/examples/sample"
[ "$code" = 0 ] && [ ! -s "$work/out" ] || fail "the sample game: exit $code: $(cat "$work/out")"

# The broken copy: the sample with a last scenario file of seeded mistakes.
cp -r "$src/examples/sample" "$work/broken"
sjis >"$work/broken/99.txt" <<'TEXT'
end
*seeded_unreached
numalias late,1
goto *nowhere
csp 1,2
lsp 2,":l/3,;x.bmp",0,0
bg "missing.bmp",1
btn 1,2,3
select "はい",*start,"いいえ"
mov %0 1
end
TEXT
lint "$work/broken"
cat >"$work/want" <<'TEXT'
99.txt:2: warning: label *seeded_unreached is never reached
99.txt:3: error: 'numalias' may stand only in the define block
99.txt:4: error: label *nowhere does not exist
99.txt:5: error: too many arguments for 'csp'
99.txt:6: error: bad image tag ":l/3,;x.bmp"
99.txt:7: error: picture "missing.bmp" not found
99.txt:8: error: too few arguments for 'btn'
99.txt:9: error: too few arguments for 'select'
99.txt:10: error: a comma is missing after argument 1 of 'mov'
TEXT
[ "$code" = 1 ] || fail "the broken copy exited with $code"
diff "$work/want" "$work/out" >&2 || fail "the broken copy gives other lines"

# Warnings alone leave the exit code 0; a packed scenario is named by its file.
mkdir "$work/packed"
printf '*define\n本文\ngame\n*start\nend\n*spare\nend\n' | sjis >"$work/packed/0.txt"
"$pack" pack "$work/packed" >/dev/null 2>&1
rm "$work/packed/0.txt"
lint "$work/packed"
printf 'velmtxt.dat:2: error: text cannot stand in the define block\nvelmtxt.dat:6: warning: label *spare is never reached\n' >"$work/want"
diff "$work/want" "$work/out" >&2 || fail "the packed game gives other lines"
printf '*define\ngame\n*start\nend\n*spare\nend\n' >"$work/packed/0.txt"
lint "$work/packed"
[ "$code" = 0 ] && grep -q '^0.txt:5: warning:' "$work/out" || fail "warnings alone: exit $code"
