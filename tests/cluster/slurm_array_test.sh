#!/bin/sh
# The Slurm example runs as a job array on a one-node Slurm started here in
# a temporary folder, and its joined summaries equal one plain run's.
# Skips (exit 77) with the reason when Slurm cannot be started.
# Arguments: the program, the examples folder, the sample data folder.
set -eu
BATCH=$1
EXAMPLES=$2
SAMPLES=$3

skip() { echo "skipped: $*"; exit 77; }

for tool in munged slurmctld slurmd sbatch sinfo; do
    command -v "$tool" >/dev/null 2>&1 || PATH=$PATH:/usr/sbin:/sbin
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (Debian: slurm-wlm, munge)"
done
[ "$(id -u)" = 0 ] || skip "starting slurmd needs root"

WORK=$(mktemp -d)
D=$WORK/slurm
mkdir -p "$D/state" "$D/spool"
stop() {
    for pidfile in "$D/slurmd.pid" "$D/slurmctld.pid" "$D/munged.pid"; do
        [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
    done
    sleep 1
    rm -rf "$WORK"
}
trap stop EXIT

head -c 1024 /dev/urandom >"$D/munge.key"
chmod 600 "$D/munge.key"
munged --force --key-file="$D/munge.key" --socket="$D/munge.sock" --pid-file="$D/munged.pid" \
    --log-file="$D/munged.log" --seed-file="$D/munged.seed" ||
    skip "munged did not start: $(tail -n 3 "$D/munged.log" 2>/dev/null)"

host=$(hostname -s)
port=$((20000 + $$ % 20000))
cat >"$D/slurm.conf" <<CONF
ClusterName=pluvoratest
SlurmctldHost=$host
AuthType=auth/munge
AuthInfo=socket=$D/munge.sock
CredType=cred/munge
SlurmUser=root
SlurmdUser=root
SlurmctldPort=$port
SlurmdPort=$((port + 1))
StateSaveLocation=$D/state
SlurmdSpoolDir=$D/spool
SlurmctldPidFile=$D/slurmctld.pid
SlurmdPidFile=$D/slurmd.pid
SlurmctldLogFile=$D/slurmctld.log
SlurmdLogFile=$D/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
ReturnToService=2
NodeName=$host CPUs=$(nproc) State=UNKNOWN
PartitionName=test Nodes=$host Default=YES State=UP MaxTime=INFINITE
CONF
export SLURM_CONF="$D/slurm.conf"
slurmctld -f "$SLURM_CONF" || skip "slurmctld did not start: $(tail -n 3 "$D/slurmctld.log" 2>/dev/null)"
slurmd -f "$SLURM_CONF" || skip "slurmd did not start: $(tail -n 3 "$D/slurmd.log" 2>/dev/null)"
ready=no
for _ in $(seq 1 60); do
    if sinfo -h -o %t 2>/dev/null | grep -q idle; then
        ready=yes
        break
    fi
    sleep 0.5
done
[ "$ready" = yes ] || skip "the Slurm node did not become idle: $(tail -n 3 "$D/slurmd.log" 2>/dev/null)"

. "$(dirname "$0")/common.sh"
make_stations

# Indexes from 1, as many sites number them: the script shards by position.
# shellcheck disable=SC2086
PLUVORA_BATCH=$BATCH sbatch --wait --quiet --array=1-3 --chdir="$WORK" --output="$WORK/array-%a.log" \
    "$EXAMPLES/slurm/convert-array.sbatch" "$WORK/stations" "$WORK/out" $LAYOUT --site "$SITE" || true
for k in 0 1 2; do
    [ -f "$WORK/out/summary-$k.csv" ] || { echo "no summary-$k.csv"; cat "$WORK"/array-*.log; exit 1; }
done
"$BATCH" --merge-summaries "$WORK/out"
same_as_one_run "$WORK/out"
echo "slurm array example: ok"
