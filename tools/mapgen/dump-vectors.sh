#!/usr/bin/env bash
# Dumps the coastlines, rivers and national borders that the demo maps are drawn from, as
# text, into data/demo/vectors/. The dumps are committed, so `make demo-maps` needs no GMT;
# run this only to refresh them (Debian packages gmt and gmt-gshhg-high).
#
# Source: GSHHG 2.3.7 in its high resolution (-Dh) through `gmt coast -M`: one file per
# feature, segments separated by "> … Level n" lines, points as "longitude latitude".
#   coastlines.txt  shorelines (level 1 sea, 2 lake, 3 island in a lake, 4 pond)
#   rivers.txt      rivers and canals of every class (-Ia)
#   borders.txt     national borders (-N1)
# The region is the area of the coarsest demo maps (UTM zone 32, easting 300-700 km,
# northing 5600-6000 km) with a margin; 5 decimals (about a metre) keep the files small.
set -euo pipefail

region=-R5.7/12.3/50.3/54.35
out="$(cd "$(dirname "$0")/../.." && pwd)/data/demo/vectors"

if ! command -v gmt >/dev/null 2>&1; then
  echo "dump-vectors.sh: gmt not found; apt-get install gmt gmt-gshhg-high" >&2
  exit 1
fi
mkdir -p "$out"

dump() {
  local file=$1
  shift
  local gmt_version gshhg_version
  gmt_version=$(gmt --version)
  gshhg_version=$(dpkg-query -W -f='${Version}' gmt-gshhg-high 2>/dev/null || echo unknown)
  {
    echo "# GSHHG (gmt-gshhg-high $gshhg_version, LGPL) dumped with GMT $gmt_version:"
    echo "# gmt coast $region -Dh $* -M"
    gmt coast "$region" -Dh "$@" -M --FORMAT_FLOAT_OUT=%.5f
  } >"$out/$file.tmp.$$"
  mv "$out/$file.tmp.$$" "$out/$file"
  echo "dump-vectors.sh: $out/$file ($(grep -c '^>' "$out/$file") segments)"
}

dump coastlines.txt -W
dump rivers.txt -Ia
dump borders.txt -N1
