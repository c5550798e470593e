#!/usr/bin/env bash
# Throughput of the whole program on fixed workloads, side by side with GMT's
# solid-tide tool when it is installed; then the time of a one-row run, the
# peak resident set of runs from one row to ten years, and the cost of one
# row of each kind (Google Benchmark).
#
# Usage: bench/throughput.sh [BUILD_DIR]
#   BUILD_DIR  build directory to configure and use (default build/bench);
#              it gets an optimised build with the benchmarks.
# Environment:
#   RUNS=N        timed runs of each workload (default 5)
#   QUICK=1       only the year at one minute, the one-row run and the memory
#   PROGRAM=path  time this build of the program instead of BUILD_DIR's
#
# Needs hyperfine (Debian: hyperfine), GNU time at /usr/bin/time and Google
# Benchmark (libbenchmark-dev); GMT (Debian: gmt) for the side-by-side
# figures, which are left out without it.
#
# The reference workload is the year 2019 at one-minute steps at 46.05 N,
# 14.5 E (525,600 rows), which GMT computes with
#   gmt earthtide -T2019-01-01T00:00:00/2019-12-31T23:59:00/1m -L14.5/46.05
# Shared machines are noisy and their speed drifts from minute to minute, so
# the workloads are run in turn, RUNS rounds of all of them, and the figures
# are the medians of wall time and of processor time (user + system).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/bench}
runs=${RUNS:-5}

command -v hyperfine >/dev/null || {
    echo "hyperfine is missing (apt-get install hyperfine)" >&2
    exit 1
}

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DHAVORKASTILO_BENCH=ON \
    -DHAVORKASTILO_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target Havorkastilo bench_rows >/dev/null

exe=${PROGRAM:-$build/Havorkastilo}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

station=-pc46.05,14.5,0
year=(-e12019-01-01/00:00:00 -e22019-12-31/23:59:00 -ed00:01:00)
day=(-e12019-01-17/00:00:00 -e22019-01-17/23:59:59 -ed00:00:01)
one=(-e12019-01-17/00:00:00 -e22019-01-17/00:00:00)
gmt_year=(gmt earthtide -T2019-01-01T00:00:00/2019-12-31T23:59:00/1m -L14.5/46.05)
have_gmt=0
command -v gmt >/dev/null && gmt earthtide -T2019-01-01T00:00:00/2019-01-01T00:01:00/1m \
    -L14.5/46.05 >/dev/null 2>&1 && have_gmt=1

median() {  # median of the numbers on standard input
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The workloads: a name, its rows, the command.
names=()
rows=()
commands=()
add() {  # name rows command...
    names+=("$1")
    rows+=("$2")
    shift 2
    commands+=("$(printf '%q ' "$@")")
}
((have_gmt)) && add gmt-earthtide 525600 "${gmt_year[@]}"
add year-60s 525600 "$exe" "$station" "${year[@]}"
add year-60s-j1 525600 "$exe" -j1 "$station" "${year[@]}"
add year-60s-j2 525600 "$exe" -j2 "$station" "${year[@]}"
if [ "${QUICK:-0}" = 0 ]; then
    add year-60s-csv 525600 "$exe" -oc "$station" "${year[@]}"
    add year-60s-csv-j1 525600 "$exe" -j1 -oc "$station" "${year[@]}"
    add day-1s 86400 "$exe" "$station" "${day[@]}"
    add day-1s-j1 86400 "$exe" -j1 "$station" "${day[@]}"
    for g in -gk -goS -goL -goN; do
        add "year-60s$g-j1" 525600 "$exe" -j1 "$g" "$station" "${year[@]}"
    done
    add year-60s-mp-j1 525600 "$exe" -j1 -mp "$station" "${year[@]}"
    add year-60s-mp 525600 "$exe" -mp "$station" "${year[@]}"
fi

# RUNS rounds; each appends "wall cpu" [s] to the workload's file.
for ((round = 0; round < runs; ++round)); do
    for i in "${!names[@]}"; do
        eval "/usr/bin/time -f '%e %U %S' -o '$tmp/t' ${commands[$i]} >/dev/null"
        awk '{ printf "%s %.3f\n", $1, $2 + $3 }' "$tmp/t" >>"$tmp/w$i"
    done
done

echo "== whole runs (stdout on /dev/null; median of $runs rounds; $(nproc) processors)"
printf '%-20s %8s %9s %9s %12s %12s\n' workload rows 'wall[s]' 'cpu[s]' 'rows/s wall' 'us/row cpu'
declare -A wall cpu
for i in "${!names[@]}"; do
    w=$(cut -d' ' -f1 "$tmp/w$i" | median)
    c=$(cut -d' ' -f2 "$tmp/w$i" | median)
    wall[${names[$i]}]=$w
    cpu[${names[$i]}]=$c
    awk -v n="${names[$i]}" -v r="${rows[$i]}" -v w="$w" -v c="$c" 'BEGIN {
        printf "%-20s %8d %9.2f %9.2f %12.0f %12.2f\n", n, r, w, c, r / w, c / r * 1e6 }'
done

ratio() {  # text a b: a / b
    awk -v t="$1" -v a="$2" -v b="$3" 'BEGIN { printf "%-58s %6.2f\n", t, a / b }'
}
echo
echo "== ratios"
if ((have_gmt)); then
    ratio "throughput, default threads, against GMT's (wall):" "${wall[gmt-earthtide]}" "${wall[year-60s]}"
    ratio "processor time with -j1 against GMT's:" "${cpu[year-60s-j1]}" "${cpu[gmt-earthtide]}"
fi
ratio "speed-up from -j1 to -j2 (wall):" "${wall[year-60s-j1]}" "${wall[year-60s-j2]}"
if [ "${QUICK:-0}" = 0 ]; then
    ratio "CSV against the table, processor time per row (-j1):" "${cpu[year-60s-csv-j1]}" "${cpu[year-60s-j1]}"
    ratio "day at 1 s against the year, processor time per row (-j1):" \
        "$(awk -v c="${cpu[day-1s-j1]}" 'BEGIN { print c / 86400 }')" \
        "$(awk -v c="${cpu[year-60s-j1]}" 'BEGIN { print c / 525600 }')"
    for g in -gk -goS -goL -goN; do
        ratio "$g against the year, processor time per row (-j1):" "${cpu[year-60s$g-j1]}" "${cpu[year-60s-j1]}"
    done
    ratio "-mp against -ms, processor time per row (-j1):" "${cpu[year-60s-mp-j1]}" "${cpu[year-60s-j1]}"
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
echo "one row:                    $(rss "$exe" "$station" "${one[@]}") KiB"
echo "a year at 60 s:             $(rss "$exe" "$station" "${year[@]}") KiB"
echo "a year at 60 s, -oc:        $(rss "$exe" -oc "$station" "${year[@]}") KiB"
echo "ten years at 60 s:          $(rss "$exe" "$station" -e12010-01-01/00:00:00 -e22019-12-31/23:59:00 -ed00:01:00) KiB"

if [ "${QUICK:-0}" = 0 ]; then
    echo
    echo "== one row, computed and written into memory (Google Benchmark, median of 5)"
    "$build/bench/bench_rows" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_min_time=0.2 2>/dev/null |
        awk '/_median/ { sub(/_median$/, "", $1); printf "%-28s cpu %8s %s\n", $1, $4, $5 }'
fi
