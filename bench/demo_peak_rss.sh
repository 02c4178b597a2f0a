#!/bin/sh
# Peak memory of the headless demo run: the demo replay through the Move view to its end, then
# the four pictures. Runs it RUNS times (default 10) under /usr/bin/time -v and prints each
# run's maximum resident set size; fails when one run exceeds LIMIT_MB (default 80).
#   bench/demo_peak_rss.sh [path/to/vexa]
set -eu
VEXA=${1:-build-release/app/vexa}
RUNS=${RUNS:-10}
LIMIT_MB=${LIMIT_MB:-80}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A settings folder of its own, so that the user's stored settings do not take part.
export XDG_CONFIG_HOME="$work/config" VEXA_HOME="$work/home"
worst=0
i=1
while [ "$i" -le "$RUNS" ]; do
  /usr/bin/time -v -o "$work/time" "$VEXA" --maps data/demo/maps/Karten_utm \
    --replay data/demo/NmeaLog_20260601_1000.txt --snapshot "$work/shots" >/dev/null 2>"$work/err" ||
    { echo "run $i failed:"; cat "$work/err" "$work/time"; exit 1; }
  kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time")
  secs=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$work/time")
  echo "run $i: peak $((kb / 1024)) MB, $secs"
  [ "$kb" -gt "$worst" ] && worst=$kb
  i=$((i + 1))
done
echo "worst of $RUNS runs: $((worst / 1024)) MB (limit $LIMIT_MB MB)"
[ "$((worst / 1024))" -le "$LIMIT_MB" ]
