"""How fast pluvora-batch converts a file in each format it reads by the
format's own rules, with --columns auto (task 1; task 4, which estimates
solar, for the formats without it).

usage: python3 format_speed.py PLUVORA_BATCH [DAYS]

Writes one file of DAYS days (default 365,000, from 1900-01-01) in each
format to a temporary folder, converts each with task 1 three times and
prints the best time and whether it is under the 0.5 s target. Only the
standard library is used; the same DAYS give the same files.
"""
import math
import os
import subprocess
import sys
import tempfile
import time

TARGET_SECONDS = 0.5
MDAYS = (31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31)


def is_leap(year):
    return (year % 4 == 0 and year % 100 != 0) or year % 400 == 0


def days(count):
    """(year, month, day, doy, values) from 1900-01-01; values are solar
    MJ/m2, T-max, T-min oC, rain mm, RH %, wind m/s."""
    year, month, day, doy = 1900, 1, 1, 1
    for n in range(count):
        season = math.sin(2 * math.pi * (doy - 105) / 365.0)
        tmax = 18 + 12 * season + 3 * math.sin(n * 0.7)
        tmin = tmax - 9 - 2 * math.cos(n * 0.3)
        solar = 16 + 9 * season + 2 * math.sin(n * 1.3)
        rain = 0.0 if n % 3 else round(4 + 3 * math.sin(n * 0.11), 1)
        rh = 65 + 15 * math.sin(n * 0.17)
        wind = 3 + 1.5 * math.sin(n * 0.23)
        yield year, month, day, doy, (solar, tmax, tmin, max(rain, 0.0), rh, wind)
        day += 1
        doy += 1
        last = 29 if month == 2 and is_leap(year) else MDAYS[month - 1]
        if day > last:
            day, month = 1, month + 1
            if month > 12:
                month, year, doy = 1, year + 1, 1


def dssat(out, count):
    out.write("*WEATHER DATA : Synthetic\n\n@ INSI      LAT     LONG  ELEV   TAV   AMP REFHT WNDHT\n"
              "  SYNT   38.500  -97.500   390  12.0  20.0   2.0   2.0\n@  DATE  SRAD  TMAX  TMIN  RAIN\n")
    for y, m, d, doy, v in days(count):
        out.write("%4d%03d%6.1f%6.1f%6.1f%6.1f\n" % (y, doy, v[0], v[1], v[2], v[3]))


def apsim(out, count):
    out.write("[weather.met.weather]\nlatitude = 38.5 (DECIMAL DEGREES)\ntav = 12.0 (oC)\namp = 20.0 (oC)\n"
              "year day radn maxt mint rain\n() () (MJ/m^2) (oC) (oC) (mm)\n")
    for y, m, d, doy, v in days(count):
        out.write("%d %d %.1f %.1f %.1f %.1f\n" % (y, doy, v[0], v[1], v[2], v[3]))


def cabo(out, count):
    out.write("** WCCDESCRIPTION=Synthetic\n** WCCFORMAT=2\n*  Column  Daily Value\n"
              "  -97.50  38.50   390.  -0.18 -0.55\n")
    for y, m, d, doy, v in days(count):
        out.write("   1 %d %3d %7.0f %5.1f %5.1f %7.3f %5.1f %5.1f\n"
                  % (y, doy, v[0] * 1000, v[2], v[1], 1.2, v[5], v[3]))


def power(out, count):
    out.write("-BEGIN HEADER-\nNASA/POWER Source Native Resolution Daily Data\n"
              "Location: Latitude  38.5   Longitude -97.5\n"
              "Elevation from MERRA-2: Average for 0.5 x 0.625 degree lat/lon region = 390.0 meters\n"
              "The value for missing source data that cannot be computed or is outside of the sources "
              "availability range: -999\n"
              "Parameter(s):\nALLSKY_SFC_SW_DWN     CERES SYN1deg All Sky Surface Shortwave Downward Irradiance "
              "(MJ/m^2/day)\nT2M_MAX               MERRA-2 Temperature at 2 Meters Maximum (C)\n"
              "T2M_MIN               MERRA-2 Temperature at 2 Meters Minimum (C)\n"
              "PRECTOTCORR           MERRA-2 Precipitation Corrected (mm/day)\n-END HEADER-\n"
              "YEAR,DOY,ALLSKY_SFC_SW_DWN,T2M_MAX,T2M_MIN,PRECTOTCORR\n")
    for y, m, d, doy, v in days(count):
        out.write("%d,%d,%.2f,%.2f,%.2f,%.2f\n" % (y, doy, v[0], v[1], v[2], v[3]))


def ghcn(out, count):
    # Whole months: a file holds the month of its last day to its end.
    rows, key, total = [], None, 0
    for y, m, d, doy, v in days(count + 31):
        if (y, m) != key:
            if rows:
                write_ghcn_month(out, key, rows)
            if total >= count:
                return
            key, rows = (y, m), []
        rows.append(v)
        total += 1


def write_ghcn_month(out, key, rows):
    year, month = key
    for element, k in (("TMAX", 1), ("TMIN", 2), ("PRCP", 3)):
        line = "USW00099999%04d%02d%s" % (year, month, element)
        for d in range(31):
            value = int(round(rows[d][k] * 10)) if d < len(rows) else -9999
            line += "%5d   " % value
        out.write(line.rstrip() + "\n")


def gsod(out, count):
    out.write("STN--- WBAN   YEARMODA    TEMP       DEWP      SLP        STP       VISIB      WDSP     "
              "MXSPD   GUST    MAX     MIN   PRCP   SNDP   FRSHTT\n")
    for y, m, d, doy, v in days(count):
        tmax_f, tmin_f = v[1] * 1.8 + 32, v[2] * 1.8 + 32
        out.write("999999 99999  %04d%02d%02d %7.1f 24 %7.1f 24  9999.9  0  9999.9  0   16.7 24 %6.1f 24"
                  "   15.0  999.9 %7.1f* %6.1f  %5.2fG 999.9  000000\n"
                  % (y, m, d, (tmax_f + tmin_f) / 2, tmin_f - 5, v[5] * 1.94, tmax_f, tmin_f, v[3] / 25.4))


def epic(out, count):
    for y, m, d, doy, v in days(count):
        out.write("%6d%4d%4d%6.2f%6.2f%6.2f%6.2f%6.2f%6.2f\n" % (y, m, d, v[0], v[1], v[2], v[3], v[4] / 100, v[5]))


def swat(out, count):
    out.write("Station  pcp1,\nLati    38.5\nLong   -97.5\nElev   390\n")
    for y, m, d, doy, v in days(count):
        out.write("%4d%03d%5.1f\n" % (y, doy, v[3]))


FORMATS = [
    ("DSSAT .WTH", "synthetic.WTH", dssat, []),
    ("APSIM .met", "synthetic.met", apsim, ["--site", "38.5 N 97.5 W 390"]),
    ("CABO", "synthetic.900", cabo, []),
    ("NASA POWER CSV", "synthetic-power.csv", power, []),
    # No solar in these two: task 4 estimates it from the temperatures, so
    # their time holds the estimate too.
    ("GHCN-Daily .dly", "synthetic.dly", ghcn, ["--task", "4", "--latitude", "38.5"]),
    ("NOAA GSOD", "synthetic.op", gsod, ["--task", "4", "--latitude", "38.5"]),
    ("EPIC .DLY", "synthetic.DLY", epic, ["--site", "38.5 N 97.5 W 390"]),
    # Rain alone: the checkup (task 3) reads it.
    ("SWAT .pcp", "synthetic.pcp", swat, ["--task", "3"]),
]


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    batch = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 365000
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        print("%-16s %10s %8s  %s" % ("format", "days", "best s", "target %.1f s" % TARGET_SECONDS))
        for name, file, write, more in FORMATS:
            path = os.path.join(folder, file)
            with open(path, "w") as out:
                write(out, count)
            output = os.path.join(folder, "out.wth")
            best = None
            for _ in range(3):
                start = time.perf_counter()
                task = [] if "--task" in more else ["--task", "1"]
                run = subprocess.run([batch] + task + ["--columns", "auto", path, "-o", output] + more,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
                seconds = time.perf_counter() - start
                if run.returncode != 0:
                    print("%-16s failed: %s" % (name, run.stderr.strip().splitlines()[-1:]))
                    failures += 1
                    break
                best = seconds if best is None else min(best, seconds)
            if best is not None:
                print("%-16s %10d %8.3f  %s" % (name, count, best, "under" if best < TARGET_SECONDS else "OVER"))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
