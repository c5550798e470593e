#!/usr/bin/env bash
# The batch runner on a host reached through ssh: a private sshd on
# 127.0.0.1, with host and login keys made for this run only (nothing in
# ~/.ssh is read or changed), is given to the runner as an sshlogin of GNU
# Parallel, and the runner's files are compared with a local run.  The test
# may not be skipped here.  The daemon and the keys are removed at the end.
set -euo pipefail
cd "$(dirname "$0")/../.."

./setup.sh build test sshlogin

work=$(mktemp -d)
cleanup() {
    local status=$?
    ((status == 0)) || tail -n 20 -- "$work/sshd.log" >&2 2>/dev/null || true
    [[ -s $work/sshd.pid ]] && kill "$(cat "$work/sshd.pid")" 2>/dev/null || true
    rm -rf -- "$work"
    exit "$status"
}
trap cleanup EXIT

port=22022
ssh-keygen -q -t ed25519 -N '' -f "$work/host_key"
ssh-keygen -q -t ed25519 -N '' -f "$work/login_key"
cp "$work/login_key.pub" "$work/authorized_keys"
cat >"$work/sshd_config" <<EOF
Port $port
ListenAddress 127.0.0.1
HostKey $work/host_key
AuthorizedKeysFile $work/authorized_keys
PidFile $work/sshd.pid
PermitRootLogin prohibit-password
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
StrictModes no
EOF
install -d -m 0755 /run/sshd
echo "-- starting sshd on 127.0.0.1:$port"
/usr/sbin/sshd -f "$work/sshd_config" -E "$work/sshd.log"
login="ssh -p $port -i $work/login_key -o BatchMode=yes -o StrictHostKeyChecking=no"
login+=" -o UserKnownHostsFile=/dev/null -o LogLevel=ERROR $(id -un)@127.0.0.1"
up=0
for _ in $(seq 50); do
    if $login true 2>/dev/null; then
        up=1
        break
    fi
    sleep 0.2
done
((up)) || { echo "FAILED: no ssh login to 127.0.0.1:$port" >&2; exit 1; }

echo "-- the runner through an sshlogin"
cmake --preset release >/dev/null
cmake --build --preset release --target test_batch Havorkastilo
log=$work/test_batch.log
HAVORKASTILO_TEST_SSHLOGIN=$login build/release/tests/test_batch --gtest_filter='*SshLogin*' |
    tee "$log"
grep -q '\[  PASSED  \] 1 test' "$log" || { echo "FAILED: the ssh test did not pass" >&2; exit 1; }
if grep -q 'SKIPPED' "$log"; then
    echo "FAILED: the ssh test was skipped although a login was given" >&2
    exit 1
fi
logins=$(grep -c 'Accepted publickey' "$work/sshd.log" || true)
echo "sshlogin: the runner's stations ran through ssh ($logins logins)"
((logins > 0)) || { echo "FAILED: nothing logged in through ssh" >&2; exit 1; }
