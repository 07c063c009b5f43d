#!/bin/sh
# The GNU parallel example converts a station folder in three parts and
# joins their summaries into what one run gives.
# Arguments: the program, the examples folder, the sample data folder.
set -eu
BATCH=$1
EXAMPLES=$2
SAMPLES=$3
command -v parallel >/dev/null || { echo "GNU parallel is not installed"; exit 77; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
. "$(dirname "$0")/common.sh"
make_stations

status=0
# shellcheck disable=SC2086
PLUVORA_BATCH=$BATCH sh "$EXAMPLES/parallel/convert-parallel.sh" 3 "$WORK/stations" "$WORK/out" \
    $LAYOUT --site "$SITE" || status=$?
[ "$status" = 1 ] || { echo "expected exit 1 for the bad file, got $status"; exit 1; }
for k in 0 1 2; do
    [ -f "$WORK/out/summary-$k.csv" ] || { echo "no summary-$k.csv"; exit 1; }
done
same_as_one_run "$WORK/out"
echo "parallel example: ok"
