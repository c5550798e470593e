#!/usr/bin/env bash
# The batch runner on a real Slurm cluster, as root: a one-node cluster on
# this machine (munged, slurmctld and slurmd on 127.0.0.1, no systemd, no
# cgroups: processes are tracked through /proc), then the test that submits
# the runner's array job and compares its files with a local run.  The test
# may not be skipped here.  Daemons and files are removed again at the end.
set -euo pipefail
cd "$(dirname "$0")/../.."

./setup.sh build test slurm

work=$(mktemp -d)
conf=$work/slurm.conf
munged_pid=
slurm_started=0
cleanup() {
    local status=$?
    if ((status != 0)); then
        for log in "$work"/log/*.log; do
            [[ -e $log ]] || continue
            echo "--- $log" >&2
            tail -n 30 -- "$log" >&2
        done
    fi
    if ((slurm_started)); then
        SLURM_CONF=$conf scontrol shutdown >/dev/null 2>&1 || true
        for pidfile in "$work/slurmctld.pid" "$work/slurmd.pid"; do
            [[ -s $pidfile ]] && kill "$(cat "$pidfile")" 2>/dev/null || true
        done
    fi
    [[ -z $munged_pid ]] || kill "$munged_pid" 2>/dev/null || true
    sleep 1
    rm -rf -- "$work"
    exit "$status"
}
trap cleanup EXIT

# munge: its own key (made by the package) and socket, run as its user.
if ! munge -n >/dev/null 2>&1; then
    install -d -o munge -g munge -m 0755 /run/munge
    install -d -o munge -g munge -m 0700 /var/log/munge /var/lib/munge
    [[ -s /etc/munge/munge.key ]] || runuser -u munge -- mungekey --create
    runuser -u munge -- /usr/sbin/munged
    for _ in $(seq 50); do
        [[ -s /run/munge/munged.pid ]] && break
        sleep 0.1
    done
    munged_pid=$(cat /run/munge/munged.pid)
fi
munge -n | unmunge >/dev/null

node=$(hostname -s)
mkdir -p "$work/state" "$work/spool" "$work/log"
cat >"$conf" <<EOF
ClusterName=havorkastilo-ci
SlurmctldHost=$node(127.0.0.1)
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/log/slurmctld.log
SlurmdLogFile=$work/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
MpiDefault=none
ReturnToService=2
NodeName=$node NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=ci Nodes=ALL Default=YES MaxTime=INFINITE State=UP
EOF
export SLURM_CONF=$conf

echo "-- starting slurmctld and slurmd on $node"
slurm_started=1
slurmctld -f "$conf"
slurmd -f "$conf"
up=0
for _ in $(seq 60); do
    if sinfo -h -o '%a %T' 2>/dev/null | grep -q '^up idle'; then
        up=1
        break
    fi
    sleep 1
done
((up)) || { sinfo >&2 || true; echo "FAILED: the node did not come up" >&2; exit 1; }
sinfo

echo "-- the runner's array job on the cluster"
cmake --preset release >/dev/null
cmake --build --preset release --target test_batch Havorkastilo
log=$work/test_batch.log
build/release/tests/test_batch --gtest_filter='*RealSlurm*' | tee "$log"
grep -q '\[  PASSED  \] 1 test' "$log" || { echo "FAILED: the Slurm test did not pass" >&2; exit 1; }
if grep -q 'SKIPPED' "$log"; then
    echo "FAILED: the Slurm test was skipped although the cluster is up" >&2
    exit 1
fi
echo "slurm: the array job ran on a real cluster"
