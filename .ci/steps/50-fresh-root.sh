#!/usr/bin/env bash
# The README's two commands on a fresh machine, as root.  A minimal Debian 12
# root (debootstrap --variant=minbase bookworm, from the mirror that this
# machine's own apt sources name) gets a clean clone of the commit; the
# commands of the README's first two sh blocks, taken from the clone's
# README, run in it exactly as written, as root, with no standard input and
# a plain root environment.  The first must print the worked example's rows
# as the README shows them, the second must report every test passed.
#
# The step runs in a mount namespace of its own, so that the root's /proc,
# /sys and /dev are never seen outside it and go with it whatever happens;
# they are unmounted, whatever runs in the root is stopped and the root is
# removed on every way out, an interruption included.  A root that cannot be
# made (no mirror in the apt sources, or none reachable) fails the step.
set -euo pipefail
cd "$(dirname "$0")/../.."

if [[ -z ${HAVORKASTILO_FRESH_ROOT_NAMESPACE:-} ]]; then
    ./setup.sh fresh-root
    HAVORKASTILO_FRESH_ROOT_NAMESPACE=1 exec unshare --mount --propagation private -- \
        bash "$0" "$@"
fi
source .ci/readme.sh

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

suite=bookworm
# The Debian archive's address as this machine's apt knows it (one-line or
# deb822 sources alike): the codename from the downloaded Release file, else
# the suite as the sources name it.
mirror=
for field in Codename Release; do
    mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Identifier: Packages' "$field: $suite" \
        'Component: main' 'Target-Of: deb' | head -n 1)
    [[ -z $mirror ]] || break
done
[[ -n $mirror ]] ||
    fail "the apt sources of this machine name no mirror of Debian $suite main to make the root from"

commit=$(git rev-parse HEAD)
[[ -z $(git status --porcelain --untracked-files=no) ]] ||
    echo "-- note: the working tree differs from $commit; the root gets the commit"

work=$(realpath "$(mktemp -d "${TMPDIR:-/var/tmp}/havorkastilo-fresh-root.XXXXXX")")
root=$work/root
mounted=()
cleanup() {
    local status=$? pid i signal
    trap - EXIT INT TERM HUP
    ((status == 0)) || echo "-- removing the root (status $status)" >&2
    # What this step started in the background (debootstrap, a command in
    # the root), and anything else that runs in the root, is stopped: nothing
    # may hold the root's mounts or write into it while it goes.
    for signal in TERM KILL; do
        for pid in $(jobs -p) /proc/[0-9]*; do
            if [[ $pid == /proc/* ]]; then
                [[ $(readlink "$pid/root" 2>/dev/null) == "$root" ]] || continue
                pid=${pid#/proc/}
            fi
            kill "-$signal" "$pid" 2>/dev/null || true
        done
        [[ -z $(jobs -p) ]] || sleep 1
    done
    wait 2>/dev/null || true
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount --lazy "${mounted[i]}" ||
            echo "-- could not unmount ${mounted[i]}" >&2
    done
    if grep -qF " $root/" /proc/self/mounts; then
        echo "-- $work is left behind: something is still mounted in it" >&2
    else
        rm -rf -- "$work"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP


echo "-- debootstrap --variant=minbase $suite from $mirror"
SECONDS=0
include=()
# apt in the root reaches an https mirror only with the certificates.
[[ $mirror == https:* ]] && include=(--include=ca-certificates)
# In the background, as the commands in the root below: a signal to this
# script is then acted on at once, not when the command ends.
debootstrap --variant=minbase "${include[@]}" "$suite" "$root" "$mirror" >"$work/debootstrap.log" 2>&1 &
wait $! || {
    tail -n 20 "$work/debootstrap.log" >&2
    fail "no Debian $suite root could be made from $mirror (is it reachable from here?)"
}
echo "-- the root took $SECONDS s ($(du -sh "$root" | cut -f1))"

mount_in_root() {  # what, mount arguments...
    local target=$root/$1
    shift
    mount "$@" "$target"
    mounted+=("$target")
}
mount_in_root proc -t proc proc
mount_in_root sys -t sysfs sysfs
mount_in_root dev --bind /dev
mount_in_root dev/pts --bind /dev/pts
mount_in_root dev/shm -t tmpfs tmpfs

git clone --quiet --no-hardlinks . "$root/root/havorkastilo"
git -C "$root/root/havorkastilo" checkout --quiet --detach "$commit"
readme=$root/root/havorkastilo/README.md
build_command=$(readme_command "$readme" 1)
test_command=$(readme_command "$readme" 2)
# The worked example's first lines as the README shows them.
awk '/^```text$/ && ++n == 1 { on = 1; next } on && /^```$/ { exit } on' "$readme" >"$work/example.txt"
[[ -s $work/example.txt ]] || fail "the README shows no lines of the worked example"

in_root() {  # log command
    local log=$1 status=0
    SECONDS=0
    chroot "$root" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c "cd /root/havorkastilo && $2" </dev/null 2>&1 | tee "$log" &
    wait $! || status=$?
    echo "-- status $status after $SECONDS s"
    return "$status"
}

echo "-- the first command: $build_command"
in_root "$work/first.log" "$build_command" || fail "the first command ended with a failure"
first=$(head -n 1 "$work/example.txt")
at=$(grep -n -x -F -- "$first" "$work/first.log" | head -n 1 | cut -d: -f1)
[[ -n $at ]] || fail "the first command printed no table heading"
tail -n "+$at" "$work/first.log" | head -n "$(wc -l <"$work/example.txt")" | cmp -s - "$work/example.txt" ||
    fail "the first command's table does not begin as the README shows it"
echo "ok: the first command prints the worked example's rows"

echo "-- the second command: $test_command"
in_root "$work/second.log" "$test_command" || fail "the second command ended with a failure"
grep -q '^100% tests passed, 0 tests failed out of [1-9]' "$work/second.log" ||
    fail "the second command did not report every test passed"
echo "ok: the second command passes every test"
