#!/usr/bin/env bash
# havorkastilo-grid beside GMT's earthtide -G, in one run: the global 5'
# grid of east, north and up to netCDF (compressed and not), node
# throughput at -j1 and -j2, a 100-epoch stack of a 500 x 500 grid with the
# share of the Sun and the Moon, and the peak memory of a global 1' grid.
#
#   bench/grid_vs_gmt.sh [BUILD_DIR] [WORK_DIR]
#
# Needs GNU time (Debian: time) and, for the comparison, gmt.  The 1' grid
# writes some 1.4 GB to WORK_DIR (default: a new folder under /tmp).
set -euo pipefail

build=${1:-build/release}
grid=$build/havorkastilo-grid
work=${2:-$(mktemp -d /tmp/grid-bench.XXXXXX)}
mkdir -p "$work"
T=2018-06-18T12:00:00

. "$(dirname "$0")/measure.sh"

echo "machine: $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)"
nodes5=$((4321 * 2161))
echo "== global 5' grid (4321 x 2161 = $nodes5 nodes), east, north, up, netCDF"
if command -v gmt >/dev/null; then
    read -r s m < <(cd "$work" && measure gmt earthtide -T$T -Gt_%s.nc -Ce,n,v -R-180/180/-90/90 -I5m)
    echo "gmt earthtide -G:                 $s s  $(rate $nodes5 "$s") M nodes/s  peak RSS $((m / 1024)) MiB  (CPU $(cpu) s)"
    gmt_s=$s
fi
for d in 1 0; do
    read -r s m < <(measure "$grid" -R-180/180/-90/90 -I5m -T$T -o "$work/g5_d$d.nc" --deflate $d -j2)
    line="havorkastilo-grid -j2 --deflate $d: $s s  $(rate $nodes5 "$s") M nodes/s  peak RSS $((m / 1024)) MiB  (CPU $(cpu) s)"
    [ -n "${gmt_s:-}" ] && line+="  $(awk -v a="$gmt_s" -v b="$s" 'BEGIN { printf "%.2fx GMT", a / b }')"
    echo "$line  $(du -m "$work/g5_d$d.nc" | cut -f1) MB"
done
echo "== node throughput, global 5', uncompressed"
for j in 1 2; do
    read -r s m < <(measure "$grid" -R-180/180/-90/90 -I5m -T$T -o "$work/g5_j$j.nc" --deflate 0 -j$j)
    echo "-j$j: $s s  $(rate $nodes5 "$s") M nodes/s  (CPU $(cpu) s, $(rate $nodes5 "$(cpu)") M nodes per CPU second)"
done
echo "== 100-epoch stack of a 500 x 500 grid (float32, deflate 1, -j2)"
read -r s m < <(measure "$grid" -R0/4.99/40/44.99 -I0.01 -T2019-01-17T00:00:00/2019-01-17T16:30:00/10m \
    -o "$work/stack.nc" -j2)
echo "100 epochs: $s s, $(awk -v s="$s" 'BEGIN { printf "%.4f", s / 100 }') s per epoch, peak RSS $((m / 1024)) MiB  (CPU $(cpu) s)"
# The Sun and the Moon: the same 100 epochs on a grid of one node, less one
# epoch on it (start-up and file), per epoch; an upper bound, since it
# holds the writing of each epoch's values as well.
read -r a _ < <(measure "$grid" -R0/0.01/40/40.01 -I0.01 --pixel -T2019-01-17T00:00:00/2019-01-17T16:30:00/10m \
    -o "$work/one100.nc" -j1)
read -r b _ < <(measure "$grid" -R0/0.01/40/40.01 -I0.01 --pixel -T2019-01-17T00:00:00 -o "$work/one1.nc" -j1)
awk -v a="$a" -v b="$b" -v s="$s" 'BEGIN { e = (a - b) / 99; if (e < 0) e = 0;
    printf "Sun and Moon: %.6f s per epoch, %.3f%% of the epoch\n", e, 100 * e / (s / 100) }'
echo "== global 1' grid (21601 x 10801 = 233 M nodes), east, north, up, netCDF, -j2"
read -r s m < <(measure "$grid" -R-180/180/-90/90 -I1m -T$T -o "$work/g1.nc" -j2)
echo "$s s  $(rate $((21601 * 10801)) "$s") M nodes/s  peak RSS $((m / 1024)) MiB ($m KiB)  $(du -m "$work/g1.nc" | cut -f1) MB  (CPU $(cpu) s)"
rm -f "$work"/*.nc
