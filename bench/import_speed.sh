#!/bin/sh
# vexa-maps import beside GDAL's own tools, on a map-like GeoTIFF made from the demo maps.
#   1. 10000 × 10000 pixels already in the target grid (UTM zone 32, 1 m pixels) into 100
#      JPEG tiles of 1000², against gdal_translate cutting and encoding the same 100 tiles;
#   2. the same area on WGS84 (EPSG:4326) into a _utm folder, against gdalwarp to one file
#      plus the JPEG encoding of its 100 tiles;
#   3. peak memory of an import from a 20000 × 20000 source.
#   bench/import_speed.sh [path/to/vexa-maps]
# Needs gdal-bin. Takes a few minutes; the work files (about 1.5 GB) go to a temporary folder.
set -eu
MAPS=${1:-build-release/tools/vexa-maps}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }

# Sources: the demo maps as one mosaic, cut and scaled to a 10 km square with 1 m pixels.
"$MAPS" vrt data/demo/maps/Karten_utm "$work/demo.vrt" >/dev/null
gdal_translate -q -b 1 -b 2 -b 3 -srcwin 1000 1000 1000 1000 -outsize 10000 10000 -r bilinear -a_srs EPSG:32632 \
  -a_ullr 500000 5800000 510000 5790000 -co TILED=YES "$work/demo.vrt" "$work/utm.tif"
gdalwarp -q -t_srs EPSG:4326 -r bilinear -co TILED=YES "$work/utm.tif" "$work/wgs84.tif"
gdal_translate -q -outsize 20000 20000 -r bilinear -co TILED=YES -co BIGTIFF=YES "$work/utm.tif" "$work/big.tif"

cut_tiles() {  # cut_tiles SOURCE.tif: 100 JPEG tiles of 1000² with gdal_translate
  for y in 0 1 2 3 4 5 6 7 8 9; do for x in 0 1 2 3 4 5 6 7 8 9; do
    gdal_translate -q -of JPEG -co QUALITY=85 -srcwin $((x * 1000)) $((y * 1000)) 1000 1000 "$1" "$work/cut/$x-$y.jpg"
  done; done
}

echo "== machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
mkdir -p "$work/cut"
t=$(now); "$MAPS" import -q "$work/utm.tif" "$work/a_utm"; ours=$(since "$t")
t=$(now); cut_tiles "$work/utm.tif"; theirs=$(since "$t")
echo "in the target grid: vexa-maps import $ours s, gdal_translate ×100 $theirs s ($(ls "$work/a_utm" | wc -l) tiles)"

rm -rf "$work/cut" && mkdir -p "$work/cut"
t=$(now); "$MAPS" import -q "$work/wgs84.tif" "$work/b_utm"; ours=$(since "$t")
t=$(now); gdalwarp -q -t_srs EPSG:32632 -tr 1 1 -te 500000 5790000 510000 5800000 -r bilinear -multi \
  -wo NUM_THREADS=ALL_CPUS -co TILED=YES "$work/wgs84.tif" "$work/warped.tif"; warp=$(since "$t")
t=$(now); cut_tiles "$work/warped.tif"; theirs=$(since "$t")
echo "EPSG:4326 -> _utm: vexa-maps import $ours s, gdalwarp $warp s + gdal_translate ×100 $theirs s"

/usr/bin/time -v -o "$work/t" "$MAPS" import -q "$work/big.tif" "$work/c_utm" >/dev/null
echo "20000 × 20000: peak $(($(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/t") / 1024)) MB," \
  "$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$work/t")"
