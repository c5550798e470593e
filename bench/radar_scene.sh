#!/usr/bin/env bash
# A Sentinel-1-sized scene on its own UTM grid (250 km x 250 km at 90 m,
# 2778 x 2778 = 7.7 M nodes, zone 33N), to float32 GeoTIFF, in one run:
#   - one epoch on the product's grid, constant look angles (the reference);
#   - each row at its own azimuth time (25 s over the scene) and the look
#     angles from a two-band raster: the per-pixel cost over the reference;
#   - the same with a DEM as well, and radar geometry (--lat/--lon rasters);
#   - GMT's earthtide -G on a latitude/longitude grid of as many nodes, the
#     peer (one epoch, netCDF: it has no line of sight or own grid).
# Peak RSS of each, which must stay under 64 MiB whatever the raster size:
# the rasters are read in blocks of rows.
#
#   bench/radar_scene.sh [BUILD_DIR] [WORK_DIR]
#
# Needs GNU time (Debian: time) and gdal-bin's gdal_create; gmt for the peer.
# Writes some 400 MB of rasters to WORK_DIR (default: a new folder in /tmp).
set -euo pipefail

build=${1:-build/release}
grid=$build/havorkastilo-grid
work=${2:-$(mktemp -d /tmp/radar-bench.XXXXXX)}
mkdir -p "$work"
n=2778
nodes=$((n * n))
ulx=365000 uly=5150000 lrx=$((ulx + 90 * n)) lry=$((uly - 90 * n))

. "$(dirname "$0")/measure.sh"

# The product's grid, its look angles (incidence, azimuth), heights, and
# per-pixel latitude and longitude for radar geometry (a regular swath:
# the cost of reading them is what counts).
srs="-a_srs EPSG:32633 -a_ullr $ulx $uly $lrx $lry"
gdal_create -q -of GTiff -outsize $n $n -bands 1 -ot Float32 -burn 0 $srs "$work/grid.tif"
gdal_create -q -of GTiff -outsize $n $n -bands 2 -ot Float32 -burn 39 -burn -102 $srs "$work/los.tif"
gdal_create -q -of GTiff -outsize $n $n -bands 1 -ot Float32 -burn 412.5 $srs "$work/dem.tif"
gdal_create -q -of GTiff -outsize $n $n -bands 1 -ot Float64 -burn 45.1 "$work/lat.tif"
gdal_create -q -of GTiff -outsize $n $n -bands 1 -ot Float64 -burn 13.3 "$work/lon.tif"

echo "machine: $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== scene: $n x $n = $nodes nodes, east, north, up and los, float32 GeoTIFF, -j$(nproc)"
T=2019-01-17T05:21:33
R=2019-01-17T05:21:33/2019-01-17T05:21:58
C=-Ce,n,u,los
if command -v gmt >/dev/null; then
    read -r s m < <(cd "$work" && measure gmt earthtide -T$T -Gg_%s.nc -Ce,n,v -R10/16.9425/40/46.9425 -I0.0025)
    echo "gmt earthtide -G, lat/lon grid, e,n,u:  $s s  $(rate $nodes "$s") M nodes/s  peak RSS $((m / 1024)) MiB  (CPU $(cpu) s)"
fi
read -r s0 m < <(measure "$grid" --like "$work/grid.tif" -T$T --los 39/-102 $C -o "$work/one.tif")
echo "one epoch, --los constants:            $s0 s  $(rate $nodes "$s0") M nodes/s  peak RSS $((m / 1024)) MiB  (CPU $(cpu) s)"
c0=$(cpu)
more() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%+.1f%%", 100 * (a - b) / b }'; }
read -r s m < <(measure "$grid" --like "$work/grid.tif" --row-time $R --los-rasters "$work/los.tif" $C \
    -o "$work/rows.tif")
echo "row time + los raster:                 $s s  $(rate $nodes "$s") M nodes/s  peak RSS $((m / 1024)) MiB  (CPU $(cpu) s, $(more "$(cpu)" "$c0") CPU, $(more "$s" "$s0") wall)"
read -r s m < <(measure "$grid" --like "$work/grid.tif" --row-time $R --los-rasters "$work/los.tif" \
    --dem "$work/dem.tif" $C -o "$work/rows_dem.tif")
echo "row time + los raster + DEM:           $s s  $(rate $nodes "$s") M nodes/s  peak RSS $((m / 1024)) MiB  (CPU $(cpu) s, $(more "$(cpu)" "$c0") CPU, $(more "$s" "$s0") wall)"
read -r s m < <(measure "$grid" --lat "$work/lat.tif" --lon "$work/lon.tif" --row-time $R \
    --los-rasters "$work/los.tif" $C -o "$work/radar.tif")
echo "radar geometry + row time + los:       $s s  $(rate $nodes "$s") M nodes/s  peak RSS $((m / 1024)) MiB  (CPU $(cpu) s, $(more "$(cpu)" "$c0") CPU, $(more "$s" "$s0") wall)"
