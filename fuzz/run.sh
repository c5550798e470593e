#!/usr/bin/env bash
# Fuzzes the program's command line with libFuzzer for a bounded time.
#
#   fuzz/run.sh [seconds]        (default 60)
#
# Builds the fuzz target with clang in build/fuzz, then runs it on the seed
# corpus fuzz/corpus (inputs it finds on the way are kept in build/fuzz/corpus,
# not in the source tree).  An input that crashes, hangs, trips a sanitizer or
# breaks one of the program's promises is written to fuzz-artifacts/ and the
# script exits non-zero.  To replay one:
#
#   build/fuzz/fuzz/fuzz_cli fuzz-artifacts/crash-<hash>
#
# An input is the argument vector with the arguments separated by NUL bytes.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
command -v clang++ >/dev/null || {
    echo "fuzz: needs clang++ and the fuzzer runtime (Debian: clang libclang-rt-14-dev)" >&2
    exit 2
}
build=build/fuzz
artifacts=fuzz-artifacts

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DHAVORKASTILO_FUZZ=ON -DHAVORKASTILO_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target fuzz_cli

mkdir -p "$artifacts" "$build/corpus"
status=0
"$build/fuzz/fuzz_cli" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -dict=fuzz/cli.dict -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$build/corpus" fuzz/corpus || status=$?

if [ "$status" -ne 0 ]; then
    echo "fuzz: finding (status $status); reproducer in $artifacts/:" >&2
    ls -l "$artifacts" >&2
    exit "$status"
fi
echo "fuzz: no finding in $seconds s"
