#!/bin/sh
# What following a receiver costs: the program replays the demo log at its recorded pace
# (1 Hz, as a receiver sends) in its window, Move view, and after a start of WARMUP seconds
# (default 8) the processor time it takes over MEASURE seconds (default 30) is printed as a
# share of one core, with its threads and resident size; at each screen of SCREENS (default
# 1920x1080 2560x1440). The window is Qt's offscreen one unless QT_QPA_PLATFORM says otherwise.
#   bench/live_cpu.sh [path/to/vexa]
set -eu
VEXA=${1:-build-release/app/vexa}
WARMUP=${WARMUP:-8}
MEASURE=${MEASURE:-30}
SCREENS=${SCREENS:-"1920x1080 2560x1440"}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }
for screen in $SCREENS; do
  rm -rf "$work/run"
  mkdir -p "$work/run"
  XDG_CONFIG_HOME="$work/run/config" VEXA_HOME="$work/run/home" \
    "$VEXA" --maps data/demo/maps/Karten_utm --replay data/demo/NmeaLog_20260601_1000.txt \
    --replay-speed 1 --screen "$screen" --scale 1 >/dev/null 2>"$work/err" &
  pid=$!
  sleep "$WARMUP"
  kill -0 "$pid" 2>/dev/null || { echo "$screen: vexa ended early:"; cat "$work/err"; exit 1; }
  before=$(cpu "$pid")
  sleep "$MEASURE"
  after=$(cpu "$pid")
  threads=$(ls "/proc/$pid/task" | wc -l)
  rss=$(awk '/VmRSS/ {print int($2 / 1024)}' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
  echo "$screen: $(awk -v t="$((after - before))" -v s="$MEASURE" -v hz="$ticks" \
    'BEGIN {printf "%.1f", 100 * t / hz / s}') % of a core over $MEASURE s, $threads threads, $rss MB resident"
done
