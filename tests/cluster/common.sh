# Shared by the example tests: a station folder, the layout of its files,
# and the comparison of an example's result with one plain run's.
# Needs BATCH (the program) and WORK (an empty folder).

make_stations() {
    mkdir -p "$WORK/stations"
    for i in 0 1 2 3 4 5 6; do
        cp "$SAMPLES/daymet_v3_demo_2000-2003.csv" "$WORK/stations/st$i.csv"
    done
    cp "$SAMPLES/eccc_marieville_2014_daily.csv" "$WORK/stations/bad.csv"
}

LAYOUT="--task 1 --rows 8 --columns Year,DOY,Ignore,Precip:mm,Ignore,Ignore,T-max:oC,T-min:oC"
SITE="36.0133 N 84.2625 W 279"

untimed() { sed 's/,[0-9.]*$/,S/' "$1"; }

# The example's OUT must hold what one run over the whole folder gives.
same_as_one_run() {
    out=$1
    # shellcheck disable=SC2086
    "$BATCH" $LAYOUT --site "$SITE" --quiet "$WORK/stations" --out-dir "$WORK/reference" 2>/dev/null || true
    untimed "$WORK/reference/summary.csv" >"$WORK/expected.csv"
    untimed "$out/summary.csv" >"$WORK/actual.csv"
    diff -u "$WORK/expected.csv" "$WORK/actual.csv" || { echo "summaries differ"; return 1; }
    for f in "$WORK"/reference/*.wth; do
        cmp "$f" "$out/$(basename "$f")" || return 1
    done
    [ "$(ls "$out" | grep -c '\.wth$')" = 7 ] || { echo "missing outputs"; ls "$out"; return 1; }
}
