#!/bin/sh
# How much a windowed game costs while it waits for the player: CPU time
# (user + system, as a percentage of one core) and wake-ups per second
# (voluntary + involuntary context switches of all its threads), read from /proc over a fixed
# span after the game has settled at its wait.
#
#   bench/idle_wakeups.sh [PROGRAM] [GAME_DIR] [SECONDS]
#
# PROGRAM defaults to build/src/vellumite; without GAME_DIR a game that shows
# a still picture and waits at `click` with nothing moving is written to a
# scratch folder. Pass examples/sample to measure the sample game (its star
# is animated). The program runs under its own Xvfb server, with its own
# runtime and configuration folders so that it runs beside other instances.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$here/build/src/vellumite}
game=${2:-}
span=${3:-10}
scratch=$(mktemp -d)
trap 'kill "$pid" "$xvfb" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$scratch"' EXIT INT TERM

if [ -z "$game" ]; then
  game=$scratch/game
  mkdir -p "$game"
  printf '*define\r\ngame\r\n*start\r\nclick\r\nend\r\n' >"$game/0.txt"
fi

display=:$((90 + $$ % 500))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
mkdir -p "$scratch/run" "$scratch/config"
chmod 700 "$scratch/run"
DISPLAY=$display XDG_RUNTIME_DIR=$scratch/run XDG_CONFIG_HOME=$scratch/config \
  "$program" --scale 1 "$game" >/dev/null 2>&1 &
pid=$!
sleep 2  # start-up: loading, the first pictures

sample() {
  # utime + stime (fields 14 and 15 of stat; the name in field 2 has no spaces here)
  cpu=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  # every thread's switches: the sound and device threads count as well
  switches=$(cat "/proc/$pid"/task/*/status |
    awk '/^(voluntary|nonvoluntary)_ctxt_switches/ {n += $2} END {print n}')
}
sample
cpu0=$cpu
sw0=$switches
sleep "$span"
sample
hz=$(getconf CLK_TCK)
awk -v c="$((cpu - cpu0))" -v s="$((switches - sw0))" -v t="$span" -v hz="$hz" 'BEGIN {
  printf "cpu %.2f %% of a core, %.1f wake-ups/s over %d s\n", 100 * c / hz / t, s / t, t
}'
