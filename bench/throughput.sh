#!/usr/bin/env bash
# Throughput of the whole program on fixed workloads, against the cost of
# only formatting and writing the same number of rows (bench/format_only),
# both with standard output on /dev/null; then the time of a one-row run, the
# peak resident set of a one-row and of a one-year run, and the cost of the
# parts of a row (Google Benchmark).
#
# Usage: bench/throughput.sh [BUILD_DIR]
#   BUILD_DIR  build directory to configure and use (default build/bench);
#              it gets an optimised build with the benchmarks.
# Environment:
#   RUNS=N        timed runs of each long workload (default 5)
#   GEOMETRY=0    skip the four geometry-mode workloads
#   COMPONENTS=0  skip the per-component figures
#   PROGRAM=path  time this build of the program instead of BUILD_DIR's
#   FORMAT_FLAGS=--sync  format_only keeps the C++ streams synchronised with
#                 C stdio (to match a program that does; this one does not)
#
# Needs hyperfine (Debian: apt-get install hyperfine), GNU time at
# /usr/bin/time and Google Benchmark (libbenchmark-dev).
#
# Shared machines are noisy and their speed drifts from minute to minute, so
# each workload and its formatting-only counterpart are run alternately, and
# the ratio is the median of the ratios of neighbouring runs.  Shown are the
# medians of wall time and of processor time (user + system).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/bench}
runs=${RUNS:-5}

command -v hyperfine >/dev/null || {
    echo "hyperfine is missing (apt-get install hyperfine)" >&2
    exit 1
}

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DHAVORKASTILO_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target Havorkastilo format_only bench_tide >/dev/null

exe=${PROGRAM:-$build/Havorkastilo}
fmt=("$build/bench/format_only")
[ -n "${FORMAT_FLAGS:-}" ] && fmt+=("$FORMAT_FLAGS")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

station=-pd46.03,14.30,300
year=(-e12019-01-01/00:00:00 -e22019-12-31/23:59:00 -ed00:01:00)
day=(-e12019-01-17/00:00:00 -e22019-01-17/23:59:59 -ed00:00:01)
one=(-e12019-01-17/00:00:00 -e22019-01-17/00:00:00)

# One timed run: appends "wall cpu" [s] to the file $1.
timed() {
    local out=$1
    shift
    /usr/bin/time -f "%e %U %S" -o "$tmp/t" "$@" >/dev/null
    awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$tmp/t" >>"$out"
}

median() {  # median of the numbers on standard input
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# compare NAME ROWS ARGS...: the program on ARGS and format_only on ROWS rows,
# alternately, $runs times each.
compare() {
    local name=$1 rows=$2
    shift 2
    : >"$tmp/p"
    : >"$tmp/f"
    "$exe" "$@" >/dev/null  # warm-up
    for ((i = 0; i < runs; ++i)); do
        timed "$tmp/p" "$exe" "$@"
        timed "$tmp/f" "${fmt[@]}" "$rows"
    done
    local pw pc fw fc rw rc
    pw=$(cut -d' ' -f1 "$tmp/p" | median)
    pc=$(cut -d' ' -f2 "$tmp/p" | median)
    fw=$(cut -d' ' -f1 "$tmp/f" | median)
    fc=$(cut -d' ' -f2 "$tmp/f" | median)
    rw=$(paste -d' ' "$tmp/p" "$tmp/f" | awk '{ print $1 / $3 }' | median)
    rc=$(paste -d' ' "$tmp/p" "$tmp/f" | awk '{ print $2 / $4 }' | median)
    awk -v n="$name" -v r="$rows" -v pw="$pw" -v pc="$pc" -v fw="$fw" -v fc="$fc" -v rw="$rw" \
        -v rc="$rc" 'BEGIN {
        printf "%-14s %7d  %8.2f %8.2f %9.0f   %7.2f %7.2f %9.0f   %5.2f %5.2f\n",
            n, r, pw, pc, r / pw, fw, fc, r / fw, rw, rc }'
}

echo "== whole program against writing the rows alone (stdout on /dev/null; $runs runs each)"
echo "                          -------- program --------   ------ format_only ------   - ratio -"
echo "workload          rows   wall[s]   cpu[s]    rows/s   wall[s]  cpu[s]    rows/s    wall   cpu"
compare year-60s 525600 "$station" "${year[@]}"
compare day-1s 86400 "$station" "${day[@]}"
if [ "${GEOMETRY:-1}" != 0 ]; then
    for g in -gk -goS -goL -goN; do
        compare "year-60s$g" 525600 "$station" "$g" "${year[@]}"
    done
fi

echo
echo "== one-row run, start-up included (hyperfine, 300 runs)"
hyperfine -N --warmup 20 --runs 300 --export-csv "$tmp/one.csv" -n one-row \
    "$exe $station ${one[*]}" >/dev/null 2>&1
awk -F, 'NR == 2 { printf "median %.2f ms, mean %.2f ms, min %.2f ms\n", $4 * 1e3, $2 * 1e3, $7 * 1e3 }' \
    "$tmp/one.csv"

echo
echo "== peak resident set (GNU time, Maximum resident set size; median of 3 runs)"
# Address-space layout randomisation moves the peak by some 100 KiB from run
# to run; without it the figure repeats exactly.
norandom=()
if setarch "$(uname -m)" -R true 2>/dev/null; then
    norandom=(setarch "$(uname -m)" -R)
else
    echo "(setarch -R not available: figures vary with the address-space layout)"
fi
rss() {
    : >"$tmp/rss.all"
    for _ in 1 2 3; do
        "${norandom[@]}" /usr/bin/time -f "%M" -o "$tmp/rss" "$@" >/dev/null
        cat "$tmp/rss" >>"$tmp/rss.all"
    done
    median <"$tmp/rss.all"
}
r1=$(rss "$exe" "$station" "${one[@]}")
ry=$(rss "$exe" "$station" "${year[@]}")
echo "one row: $r1 KiB; one year at 60 s: $ry KiB; difference $((ry - r1)) KiB"

if [ "${COMPONENTS:-1}" != 0 ]; then
    echo
    echo "== per-component cost (Google Benchmark, median of 5 repetitions)"
    "$build/bench/bench_tide" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_min_time=0.2 2>/dev/null |
        awk '/_median/ { sub(/_median$/, "", $1); printf "%-32s %8s %s (cpu %s %s)\n", $1, $2, $3, $4, $5 }'
fi
