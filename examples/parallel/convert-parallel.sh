#!/bin/sh
# Converts a folder of station files in SHARDS parts with GNU parallel, on
# this machine or, with HOSTS naming a GNU parallel ssh login file, on the
# hosts listed there (the folders must then be on a shared file system and
# pluvora-batch installed on each host). Each part takes every SHARDS-th
# file of the one sorted list; the summaries are joined at the end.
#
#   convert-parallel.sh 8 stations/ converted/ --task 1 --template "My stations" ...
#   HOSTS=nodes.txt convert-parallel.sh 32 /shared/stations /shared/converted --task 1 ...
set -eu

if [ $# -lt 3 ]; then
    echo "usage: convert-parallel.sh SHARDS STATIONS_DIR OUT_DIR [pluvora-batch options]" >&2
    exit 2
fi
shards=$1
stations=$2
out=$3
shift 3
batch=${PLUVORA_BATCH:-pluvora-batch}

set -- -q --will-cite --halt never ${HOSTS:+--sshloginfile "$HOSTS"} \
    "$batch" "$@" --quiet --skip-existing --jobs 1 --shard "{}/$shards" "$stations" --out-dir "$out" \
    ::: $(seq 0 $((shards - 1)))
status=0
parallel "$@" || status=$?
"$batch" --merge-summaries "$out"
exit "$status"
