#!/usr/bin/env bash
# Every workload of the program before and after a change, side by side in
# one run: whole runs (wall and processor time, peak resident set) and the
# per-row benchmarks of bench_rows, of a build of REV and of this tree.
#
# Usage: bench/before_after.sh REV [ROUNDS]
#   REV     the revision to compare with (a commit, a tag, HEAD~3, ...)
#   ROUNDS  rounds of every workload, in turn (default 5)
#
# The two builds are optimised builds with the benchmarks (Google Benchmark,
# libbenchmark-dev), in build/before (a worktree of REV under it) and
# build/bench.  Shared machines are noisy, so the workloads run in turn,
# before and after alternating, and the figures are medians.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
rev=${1:?usage: bench/before_after.sh REV [ROUNDS]}
rounds=${2:-5}

before_src=$here/build/before/src
rm -rf "$here/build/before"
mkdir -p "$here/build/before"
git -C "$here" worktree prune
git -C "$here" worktree add --detach "$before_src" "$rev" >/dev/null 2>&1
trap 'git -C "$here" worktree remove --force "$before_src" >/dev/null 2>&1 || true' EXIT

build() {  # source folder, build folder
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DHAVORKASTILO_BENCH=ON \
        -DHAVORKASTILO_TESTS=OFF >/dev/null
    cmake --build "$2" -j2 --target Havorkastilo bench_rows >/dev/null
}
build "$before_src" "$here/build/before/build"
build "$here" "$here/build/bench"
old=$here/build/before/build/Havorkastilo
new=$here/build/bench/Havorkastilo

year=(-pc46.05,14.5,300 -e12019-01-01/00:00:00 -e22019-12-31/23:59:00 -ed00:01:00)
day=(-pc46.05,14.5,300 -e12019-01-17/00:00:00 -e22019-01-17/23:59:59 -ed00:00:01)
names=("year at 60 s, -j1" "year at 60 s, both processors" "year at 60 s, -oc" "year at 60 s, -mp"
    "year at 60 s, -goN" "year at 60 s, -j256" "day at 1 s, -j1" "one row")
args=("${year[*]} -j1" "${year[*]}" "${year[*]} -oc" "${year[*]} -mp" "${year[*]} -goN"
    "${year[*]} -j256" "${day[*]} -j1" "-pc46.05,14.5,300")

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"; git -C "$here" worktree remove --force "$before_src" >/dev/null 2>&1 || true' EXIT

# One run: wall seconds, processor seconds, peak resident set [KiB].
run() {  # exe, args (one word list)
    # shellcheck disable=SC2086
    /usr/bin/time -f '%e %U %S %M' -o "$tmp/t" "$1" $2 >/dev/null
    awk '{ printf "%s %.3f %s\n", $1, $2 + $3, $4 }' "$tmp/t"
}

for ((r = 0; r < rounds; ++r)); do
    for i in "${!args[@]}"; do
        run "$old" "${args[$i]}" >>"$tmp/old.$i"
        run "$new" "${args[$i]}" >>"$tmp/new.$i"
    done
done

echo "Whole runs, medians of $rounds rounds (wall s, processor s, peak RSS MiB): before | after"
printf '%-32s %8s %8s %8s | %8s %8s %8s\n' workload wall cpu rss wall cpu rss
for i in "${!args[@]}"; do
    line=$(printf '%-32s' "${names[$i]}")
    for side in old new; do
        w=$(cut -d' ' -f1 "$tmp/$side.$i" | median)
        c=$(cut -d' ' -f2 "$tmp/$side.$i" | median)
        m=$(cut -d' ' -f3 "$tmp/$side.$i" | median)
        line+=$(printf ' %8.3f %8.3f %8.1f' "$w" "$c" "$(echo "$m / 1024" | bc -l)")
        [ "$side" = old ] && line+=" |"
    done
    echo "$line"
done

echo
echo "Per row (bench_rows, median of 5 repetitions, ns of processor time): before | after"
for side in before bench; do
    b=$here/build/$side
    [ "$side" = before ] && b=$here/build/before/build
    "$b/bench/bench_rows" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_format=csv 2>/dev/null | awk -F, '/_median"/ { gsub(/"/, "", $1); sub(/_median/, "", $1); print $1, $4 }' \
        | sort >"$tmp/rows.$side"
done
join "$tmp/rows.before" "$tmp/rows.bench" |
    awk '{ printf "%-28s %8.0f | %8.0f  (%+.1f %%)\n", $1, $2, $3, 100 * ($3 - $2) / $2 }'
