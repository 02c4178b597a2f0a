#!/bin/sh
# Wall time and peak memory of the headless demo run at large screens: the demo replay through
# the Move view to its end, then the four pictures, RUNS times (default 5) at each screen under
# /usr/bin/time -v. SCREENS lists screen:limit pairs, the limit being the peak resident size in
# MB that no run may pass (default 1920x1080:150 2560x1440:200 4096x4096:400).
#   bench/demo_screens.sh [path/to/vexa]
set -eu
VEXA=${1:-build-release/app/vexa}
RUNS=${RUNS:-5}
SCREENS=${SCREENS:-"1920x1080:150 2560x1440:200 4096x4096:400"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
over=
for pair in $SCREENS; do
  screen=${pair%:*}
  limit=${pair#*:}
  i=1
  while [ "$i" -le "$RUNS" ]; do
    # Settings and documents folders of their own for every run.
    rm -rf "$work/run"
    mkdir -p "$work/run"
    XDG_CONFIG_HOME="$work/run/config" VEXA_HOME="$work/run/home" \
      /usr/bin/time -v -o "$work/time" "$VEXA" --maps data/demo/maps/Karten_utm \
      --replay data/demo/NmeaLog_20260601_1000.txt --screen "$screen" --scale 1 \
      --snapshot "$work/run/shots" >/dev/null 2>"$work/err" ||
      { echo "$screen run $i failed:"; cat "$work/err" "$work/time"; exit 1; }
    kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time")
    secs=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$work/time")
    echo "$screen run $i: $secs wall, peak $((kb / 1024)) MB (limit $limit MB)"
    [ "$((kb / 1024))" -le "$limit" ] || over="$over $screen"
    i=$((i + 1))
  done
done
[ -z "$over" ] || { echo "over the memory limit:$over"; exit 1; }
