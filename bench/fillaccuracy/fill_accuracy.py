#!/usr/bin/env python3
"""How well gaps are filled: removes known values from real sample files,
fills them by pluvora-batch and by two plain methods, and prints the error
of each against the removed values.

usage: fill_accuracy.py PLUVORA_BATCH SAMPLES_FOLDER
"""

import datetime
import math
import os
import random
import re
import subprocess
import sys
import tempfile

# Fixed so that two runs print the same table.
SEED = 20261208
REMOVED_SHARE = 0.05
LONGEST_RUN = 10
# Independent removals per file, pooled: one draw holds too few gaps to compare methods.
DRAWS = 20
OUTPUT_VARIABLES = ["Solar", "T-max", "T-min", "RelHum", "Precip"]
UNITS = {"Solar": "MJ/m2", "T-max": "oC", "T-min": "oC", "RelHum": "%", "Precip": "mm"}
# Humidity given as vapour pressure reaches the weather file as RelHum.
FLAG_COLUMN = {"RelHum": ("RelHum", "VapPr", "DewPt")}

TARGETS = [
    {
        "title": "MeteoSwiss Bern/Zollikofen 2004-2006",
        "file": "meteoswiss_nbcn_BER_bern_2004-2006.csv",
        "header_rows": 1,
        "separator": ";",
        "fields": [11, 10, 7, 3, 12],
        "layout": ["--rows", "1", "--fields", "semicolon", "--pick", "2,11,10,7,3,12", "--columns",
                   "Date:YYYYMMDD,T-max:oC,T-min:oC,Precip:mm,Solar:W/m2,RelHum:%", "--missing", "-"],
        "site": "46.99 N 7.46 E 553",
        "reference": None,
        "why": "no sample of a site near Bern covers 2004-2006 (the nearest, Bologna, covers "
               "2021-2023; Madrid and Moore Park cover the years but lie over 900 km away)",
    },
    {
        "title": "SILO Wagga Wagga AMO 2024-2025 (patched point file)",
        "file": "silo_ppd_wagga_72150.txt",
        "header_rows": 37,
        "separator": None,
        "fields": [3, 5, 7, 11, 13],
        "layout": ["--rows", "37", "--pick", "1,3,5,7,11,13", "--columns",
                   "Date:YYYYMMDD,T-max:oC,T-min:oC,Precip:mm,Solar:MJ/m2/d,VapPr:hPa", "--missing", "NA"],
        "missing_text": "NA",
        "site": "35.16 S 147.46 E 212",
        "reference": "silo_apsim_wagga_72150.met",
        "reference_layout": "--rows 23 --columns Year,DOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,Precip:mm,PanEvap:mm,VapPr:hPa",
        "why": "the same station from the same service in APSIM format; it differs from the "
               "target on one day only, so (d) shows the reference's mechanics, not what a "
               "neighbour station would give",
    },
    {
        "title": "KNMI De Bilt 1993-1994",
        "file": "knmi_debilt_260_1993-1994_daily.txt",
        "header_rows": 49,
        "separator": ",",
        "fields": [13, 15, 21, 23, 36],
        "layout": ["--rows", "49", "--fields", "comma", "--pick", "2,13,15,21,23,36", "--columns",
                   "Date:YYYYMMDD,T-min:0.1 oC,T-max:0.1 oC,Solar:J/cm2,Precip:0.1 mm,RelHum:%",
                   "--trace", "-1"],
        "site": "52.10 N 5.18 E 2",
        "reference": None,
        "why": "the only other De Bilt sample is derived from this same file, and no other "
               "sample covers 1993-1994",
    },
]


def read_lines(path):
    with open(path, encoding="utf-8", errors="surrogateescape", newline="") as handle:
        return handle.read().splitlines(keepends=True)


def write_lines(path, lines):
    with open(path, "w", encoding="utf-8", errors="surrogateescape", newline="") as handle:
        handle.writelines(lines)


def blank_fields(line, target, fields):
    """The line with `fields` (counted from 1) written as missing, as the file's own sign
    where it has one: a hyphen for MeteoSwiss, a blank field for KNMI."""
    body = line.rstrip("\r\n")
    ending = line[len(body):]
    if target["separator"] is None:
        spans = [m.span() for m in re.finditer(r"\S+", body)]
        for field in sorted(fields, reverse=True):
            start, end = spans[field - 1]
            text = target["missing_text"].rjust(end - start)
            body = body[:start] + text + body[end:]
        return body + ending
    parts = body.split(target["separator"])
    for field in fields:
        parts[field - 1] = "-" if target["separator"] == ";" else " " * len(parts[field - 1])
    return target["separator"].join(parts) + ending


def choose_gaps(day_count, rng):
    """Runs of 1 to LONGEST_RUN whole days, REMOVED_SHARE of the days in all, each with a
    measured day on either side so that no two runs merge into a longer gap."""
    wanted = round(day_count * REMOVED_SHARE)
    taken = [False] * day_count
    runs = []
    removed = 0
    while removed < wanted:
        length = min(rng.randint(1, LONGEST_RUN), wanted - removed)
        start = rng.randint(1, day_count - 1 - length)
        if any(taken[start - 1:start + length + 1]):
            continue
        for day in range(start, start + length):
            taken[day] = True
        runs.append((start, length))
        removed += length
    return sorted(runs)


def run_batch(batch, target, samples, data_file, out_file, flags_file, fill):
    args = [batch, "--task", "1"] + target["layout"] + ["--site", target["site"], "--fill-interpolate"]
    if fill == "reference":
        args += ["--fill-from", os.path.join(samples, target["reference"]),
                 "--fill-layout", target["reference_layout"]]
    args += ["--flags", flags_file, data_file, "-o", out_file]
    result = subprocess.run(args, capture_output=True, text=True)
    return result.returncode, result.stdout, result.stderr


def read_weather(path):
    """Per output variable, the values of the written weather file in row order."""
    lines = [line.rstrip("\r\n") for line in read_lines(path)]
    names = lines[2].split("\t")
    values = {name: [] for name in OUTPUT_VARIABLES}
    dates = []
    for line in lines[4:]:
        if not line.strip():
            continue
        cells = line.split("\t")
        dates.append(datetime.date(int(cells[0]), 1, 1) + datetime.timedelta(days=int(cells[1]) - 1))
        for name in OUTPUT_VARIABLES:
            values[name].append(float(cells[names.index(name)]))
    return dates, values


def read_flags(path):
    """Per output variable, the flag letters in row order."""
    lines = [line.rstrip("\r\n") for line in read_lines(path)]
    names = lines[0].split(",")
    rows = [line.split(",") for line in lines[1:] if line]
    flags = {}
    for name in OUTPUT_VARIABLES:
        column = next(c for c in FLAG_COLUMN.get(name, (name,)) if c in names)
        flags[name] = [row[names.index(column)][:1] for row in rows]
    return flags


def fill_by_pluvora(batch, target, samples, folder, lines, runs, fill, day_of):
    """Pluvora's fill of every removed value it fills, and how many it refuses. A refused
    gap stops the run, listing every such gap, so a first run tells which gaps are refused;
    they get their true values back for a second run that writes the filled values."""
    header = target["header_rows"]
    gapped = list(lines)
    for start, length in runs:
        for day in range(start, start + length):
            gapped[header + day] = blank_fields(lines[header + day], target, target["fields"])
    data = os.path.join(folder, "gapped.txt")
    out = os.path.join(folder, "filled.wth")
    flags_path = os.path.join(folder, "flags.csv")
    write_lines(data, gapped)
    status, listing, err = run_batch(batch, target, samples, data, out, flags_path, fill)
    refused_days = {name: set() for name in OUTPUT_VARIABLES}
    if status != 0:
        # The stopped run lists each gap it cannot fill on standard output.
        for line in listing.splitlines():
            cells = line.split("\t")
            if len(cells) < 5 or not re.fullmatch(r"\d{4}-\d\d-\d\d", cells[1]):
                continue
            name = next(o for o in OUTPUT_VARIABLES if cells[0] in FLAG_COLUMN.get(o, (o,)))
            first = day_of[datetime.date.fromisoformat(cells[1])]
            last = day_of[datetime.date.fromisoformat(cells[2])]
            for day in range(first, last + 1):
                if not any(s <= day < s + n for s, n in runs):
                    sys.exit(f"{target['file']}: a gap on {cells[1]} that was not removed is refused")
                refused_days[name].add(day)
        if not any(refused_days.values()):
            sys.exit(f"{target['file']}: pluvora-batch stopped:\n{err}")
        # Whole days were removed, so a refused variable is restored field by field.
        field_of = dict(zip(target["variable_order"], target["fields"]))
        for day in set().union(*refused_days.values()):
            still_missing = [field_of[name] for name in OUTPUT_VARIABLES if day not in refused_days[name]]
            gapped[header + day] = blank_fields(lines[header + day], target, still_missing)
        write_lines(data, gapped)
        status, _, err = run_batch(batch, target, samples, data, out, flags_path, fill)
        if status != 0:
            sys.exit(f"{target['file']}: pluvora-batch stopped again after the refused gaps were restored:\n{err}")
    _, values = read_weather(out)
    filled = {}
    how = {}
    final_flags = read_flags(flags_path)
    for start, length in runs:
        for day in range(start, start + length):
            for name in OUTPUT_VARIABLES:
                if day not in refused_days[name]:
                    if final_flags[name][day] not in ("I", "R"):
                        sys.exit(f"{target['file']}: a removed {name} is flagged {final_flags[name][day]}")
                    filled[(name, day)] = values[name][day]
                    how[(name, day)] = final_flags[name][day]
    return filled, how


def statistics(pairs):
    """(count, RMSE, bias) of (estimate, truth) pairs."""
    if not pairs:
        return 0, None, None
    errors = [estimate - truth for estimate, truth in pairs]
    return len(errors), math.sqrt(sum(e * e for e in errors) / len(errors)), sum(errors) / len(errors)


def number(value, width=7):
    return "-".rjust(width) if value is None else f"{value:{width}.2f}"


def one_draw(batch, samples, target, rng, lines, truth, truth_flags, dates, day_of, folder, results):
    """Removes one random set of runs and adds, per variable and method, each removed value's
    (estimate, truth, gap length, monthly mean, flag) to `results`, and each refused one as None."""
    day_count = len(dates)
    while True:
        runs = choose_gaps(day_count, rng)
        # Days the file itself lacks a value stay out of the runs and their margins.
        if all(truth_flags[name][day] == "M"
               for start, length in runs for day in range(start - 1, start + length + 1)
               for name in OUTPUT_VARIABLES):
            break
    removed_days = [day for start, length in runs for day in range(start, start + length)]
    removed_set = set(removed_days)
    length_of = {day: length for start, length in runs for day in range(start, start + length)}
    results["runs"].extend(length for _, length in runs)
    results["removed"] += len(removed_days)

    estimates = {"(a) linear, every gap": {}, "(b) monthly mean": {}}
    for start, length in runs:
        for name in OUTPUT_VARIABLES:
            before, after = truth[name][start - 1], truth[name][start + length]
            for step in range(1, length + 1):
                estimates["(a) linear, every gap"][(name, start + step - 1)] = \
                    before + (after - before) * step / (length + 1)
    for name in OUTPUT_VARIABLES:
        for month in range(1, 13):
            kept = [truth[name][d] for d in range(day_count)
                    if dates[d].month == month and d not in removed_set and truth_flags[name][d] == "M"]
            for day in removed_days:
                if dates[day].month == month:
                    estimates["(b) monthly mean"][(name, day)] = sum(kept) / len(kept)
    letters = {}
    for method, fill in (("(c) interpolate", "interpolate"), ("(d) with reference", "reference")):
        if fill == "reference" and not target["reference"]:
            continue
        estimates[method], letters[method] = fill_by_pluvora(batch, target, samples, folder, lines, runs, fill,
                                                             day_of)
    for method, values in estimates.items():
        for name in OUTPUT_VARIABLES:
            records = results["values"].setdefault((name, method), [])
            for day in removed_days:
                if (name, day) in values:
                    records.append((values[(name, day)], truth[name][day], length_of[day],
                                    estimates["(b) monthly mean"][(name, day)],
                                    letters.get(method, {}).get((name, day), "")))
                else:
                    records.append(None)


def benchmark(batch, samples, target, rng):
    lines = read_lines(os.path.join(samples, target["file"]))
    header = target["header_rows"]
    day_count = len([line for line in lines[header:] if line.strip()])
    results = {"runs": [], "removed": 0, "values": {}}
    with tempfile.TemporaryDirectory() as folder:
        truth_out = os.path.join(folder, "truth.wth")
        status, _, err = run_batch(batch, target, samples, os.path.join(samples, target["file"]), truth_out,
                                   os.path.join(folder, "truth-flags.csv"), "interpolate")
        if status != 0:
            sys.exit(f"{target['file']}: pluvora-batch stopped on the untouched file:\n{err}")
        dates, truth = read_weather(truth_out)
        day_of = {date: day for day, date in enumerate(dates)}
        truth_flags = read_flags(os.path.join(folder, "truth-flags.csv"))
        if len(dates) != day_count:
            sys.exit(f"{target['file']}: {day_count} data rows but {len(dates)} days written")
        with open(os.path.join(folder, "truth-flags.csv")) as handle:
            target["variable_order"] = [
                next(o for o in OUTPUT_VARIABLES if column in FLAG_COLUMN.get(o, (o,)))
                for column in handle.readline().strip().split(",")[1:]]
        for _ in range(DRAWS):
            one_draw(batch, samples, target, rng, lines, truth, truth_flags, dates, day_of, folder, results)

    runs = results["runs"]
    print(f"== {target['title']} ({target['file']})")
    print(f"   {day_count} days; {DRAWS} draws of {results['removed'] // DRAWS} removed days "
          f"({100 * results['removed'] / DRAWS / day_count:.1f} %): {len(runs)} runs in all, "
          f"{sum(1 for n in runs if n <= 2)} of 1-2 days, {sum(1 for n in runs if n > 2)} of 3-{LONGEST_RUN} days")
    if target["reference"]:
        print(f"   reference for (d): {target['reference']}: {target['why']}")
    else:
        print(f"   no reference for (d): {target['why']}")
    print(f"   {'variable':<13}{'method':<24}{'filled':>7}{'refused':>8}{'RMSE':>7}{'bias':>7}"
          f"{'RMSE 1-2 d (n)':>15}{'RMSE 3-10 d (n)':>16}{'monthly mean, same':>20}")
    worse = []
    for name in OUTPUT_VARIABLES:
        print(f"   {name} {UNITS[name]}")
        for method in ("(a) linear, every gap", "(b) monthly mean", "(c) interpolate", "(d) with reference"):
            records = results["values"].get((name, method))
            if records is None:
                print(f"   {'':<13}{method:<24}   no reference: see above")
                continue
            filled = [r for r in records if r is not None]
            count, rmse, bias = statistics([(r[0], r[1]) for r in filled])
            short = statistics([(r[0], r[1]) for r in filled if r[2] <= 2])
            long = statistics([(r[0], r[1]) for r in filled if r[2] > 2])
            line = (f"   {'':<13}{method:<24}{count:>7}{len(records) - count:>8}{number(rmse)}{number(bias)}"
                    f"{number(short[1], 9)} ({short[0]:>3}){number(long[1], 9)} ({long[0]:>4})")
            if method.startswith(("(c)", "(d)")):
                mean_rmse = statistics([(r[3], r[1]) for r in filled])[1]
                line += number(mean_rmse, 20)
                if rmse is not None and rmse > mean_rmse:
                    worse.append(f"{name} {method} {rmse:.2f} against {mean_rmse:.2f}")
                how = "".join(r[4] for r in filled)
                if method.startswith("(d)"):
                    line += f"  ({how.count('I')} I, {how.count('R')} R)"
            print(line)
    print("   Pluvora's fill worse than the monthly mean on the same values: " + ("; ".join(worse) or "none"))
    print()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip())
    batch, samples = sys.argv[1], sys.argv[2]
    rng = random.Random(SEED)
    print(f"Gap filling against removed true values: {REMOVED_SHARE:.0%} of the days of each file removed "
          f"whole, in runs of 1 to {LONGEST_RUN} days, {DRAWS} draws pooled, seed {SEED}.")
    print("Errors in the units of the written weather file; bias = mean of filled - true. (a) and (b) "
          "fill every removed value; (c) and (d) only what pluvora-batch fills (task 1, its output "
          "read back), and the last column gives the monthly mean's RMSE on those same values. "
          "(n) is the number of values in each RMSE by gap length.")
    print()
    for target in TARGETS:
        benchmark(batch, samples, target, rng)


if __name__ == "__main__":
    main()
