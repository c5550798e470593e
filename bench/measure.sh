# Shared by the grid benchmarks (sourced; $work must name their folder).
#
# Wall-clock seconds and peak RSS (KiB) of a command: "SECONDS KIB"; its
# processor time (user + system) goes to $work/cpu.txt.  On a shared machine
# the wall clock counts the time other users took the processors too.
measure() {
    /usr/bin/time -f '%e %M %U %S' -o "$work/time.txt" "$@" >/dev/null
    awk '{ print $3 + $4 }' "$work/time.txt" >"$work/cpu.txt"
    awk '{ print $1, $2 }' "$work/time.txt"
}
cpu() { cat "$work/cpu.txt"; }
# Millions of nodes per second: rate NODES SECONDS.
rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.2f", n / s / 1e6 }'; }
