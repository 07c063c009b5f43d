#include "replayserver.h"
#include "runbatch.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The data rows of a weather file whose date starts with `prefix`.
std::vector<std::string> rowsStarting(const std::string& text, const std::string& prefix)
{
    std::vector<std::string> rows;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto end = text.find('\n', at);
        const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (line.starts_with(prefix))
            rows.push_back(line.back() == '\r' ? line.substr(0, line.size() - 1) : line);
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return rows;
}

const char* const kColumns = "Year,Month,Day,T-max:oC,T-min:oC,Precip:mm,Solar:MJ/m2/d";

// Short gaps of T-max and solar are bridged by a line, each value flagged
// I; the flags file is the one a user would write by hand.
TEST(GapFill, ShortGapsAreInterpolatedAndFlagged)
{
    test::TempFolder temp;
    writeText(temp.path() / "in.txt", "yr mo dy tx tn pr sr\n"
                                      "2001 1 1 10 0 0 10\n"
                                      "2001 1 2 -99 1 0 -99\n"
                                      "2001 1 3 -99 2 1.5 14\n"
                                      "2001 1 4 16 3 0 12\n");
    const auto outcome = test::runBatchProgram(
        temp.path(), {"--task", "1", "--rows", "1", "--columns", kColumns, "--site", "40.5 N 96.25 W 350",
                      "--fill-interpolate", "--flags", (temp.path() / "flags.csv").string(),
                      (temp.path() / "in.txt").string(), "-o", (temp.path() / "out.wth").string()});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(test::readFile(temp.path() / "flags.csv"), "Date,T-max,T-min,Precip,Solar\r\n"
                                                          "2001-01-01,M,M,M,M\r\n"
                                                          "2001-01-02,I,M,M,I\r\n"
                                                          "2001-01-03,I,M,M,M\r\n"
                                                          "2001-01-04,M,M,M,M\r\n");
    const auto rows = rowsStarting(test::readFile(temp.path() / "out.wth"), "2001\t");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], "2001\t2\t12.00\t12.0\t1.0\t0\t0.0\t0.0");
    EXPECT_EQ(rows[2], "2001\t3\t14.00\t14.0\t2.0\t0\t1.5\t0.0");
    EXPECT_NE(outcome.err.find("notice: Filled 3 missing values: 3 interpolated, 0 from the reference."),
              std::string::npos)
        << outcome.err;
    EXPECT_EQ(outcome.err.find("replaced by"), std::string::npos) << outcome.err;
}

// What cannot be filled stops the run before anything is written, naming
// the gap and why; rain is never bridged, not even when asked.
TEST(GapFill, UnfillableGapsStopTheRunNamingThem)
{
    test::TempFolder temp;
    writeText(temp.path() / "in.txt", "yr mo dy tx tn pr sr\n"
                                      "2001 1 1 10 0 0 10\n"
                                      "2001 1 2 11 1 -99 11\n"
                                      "2001 1 3 12 2 0 12\n");
    const fs::path out = temp.path() / "out.wth";
    auto run = [&](std::vector<std::string> more) {
        std::vector<std::string> args{"--task", "1", "--rows", "1", "--columns", kColumns, "--site",
                                      "40.5 N 96.25 W 350", (temp.path() / "in.txt").string(), "-o", out.string()};
        args.insert(args.end(), more.begin(), more.end());
        return test::runBatchProgram(temp.path(), args);
    };
    const auto rain = run({"--fill-interpolate"});
    EXPECT_EQ(rain.status, 1);
    EXPECT_NE(rain.err.find("error: A gap cannot be filled: Precip is missing on 2001-01-02: rain is never "
                            "interpolated; no reference is given."),
              std::string::npos)
        << rain.err;
    EXPECT_FALSE(fs::exists(out));
    // The flags of the stopped run show the day that stopped it.
    EXPECT_EQ(run({"--fill-interpolate", "--flags", (temp.path() / "flags.csv").string()}).status, 1);
    EXPECT_EQ(test::readFile(temp.path() / "flags.csv"), "Date,T-max,T-min,Precip,Solar\r\n"
                                                          "2001-01-01,M,M,M,M\r\n"
                                                          "2001-01-02,M,M,XF,M\r\n"
                                                          "2001-01-03,M,M,M,M\r\n");

    const auto asked = run({"--fill-interpolate", "Precip=2"});
    EXPECT_EQ(asked.status, 2);
    EXPECT_NE(asked.err.find("rain is never interpolated"), std::string::npos) << asked.err;

    const auto noSign = run({"--fill-interpolate", "--no-substitution"});
    EXPECT_EQ(noSign.status, 2);
    // Without fill settings the substitution stays as it was.
    EXPECT_EQ(run({}).status, 0);
}

// The checkup tells a substituted value from weather: a day with both
// temperatures substituted is missing, not "T-max not above T-min", and
// task 3 lists a substituted humidity or temperature.
TEST(GapFill, CheckupNamesSubstitutedValues)
{
    test::TempFolder temp;
    writeText(temp.path() / "in.txt", "yr mo dy tx tn pr rh\n"
                                      "2001 1 1 10 0 0 80\n"
                                      "2001 1 2 -99 -99 0 80\n"
                                      "2001 1 3 12 2 0 -99\n"
                                      "2001 1 4 13 3 -99 70\n");
    const fs::path report = temp.path() / "report.html";
    const auto outcome = test::runBatchProgram(
        temp.path(), {"--task", "3", "--rows", "1", "--columns", "Year,Month,Day,T-max:oC,T-min:oC,Precip:mm,RelHum",
                      "--flags", (temp.path() / "flags.csv").string(), "--report", report.string(),
                      (temp.path() / "in.txt").string()});
    EXPECT_EQ(outcome.status, 1) << outcome.err;
    // Substituted rain is no listed fault: 0.01 mm is weather.
    EXPECT_EQ(test::readFile(temp.path() / "flags.csv"), "Date,T-max,T-min,Precip,RelHum\r\n"
                                                          "2001-01-01,M,M,M,M\r\n"
                                                          "2001-01-02,SF,SF,M,M\r\n"
                                                          "2001-01-03,M,M,M,SF\r\n"
                                                          "2001-01-04,M,M,S,M\r\n");
    const std::string html = test::readFile(report);
    EXPECT_NE(html.find("<td>T-max and T-min missing</td>"), std::string::npos);
    EXPECT_NE(html.find("<td>substituted</td>"), std::string::npos);
    EXPECT_EQ(html.find("T-max not above T-min"), std::string::npos);
}

// A station that reads 2 + 1.5 x its reference's T-max and 0.8 x its rain:
// a 10-day gap and an absent day are taken from the reference with that
// correction, flagged R; without the reference the gap is refused.
class ReferenceFill : public testing::Test {
protected:
    void SetUp() override
    {
        std::string station = "yr mo dy tx tn pr\n";
        std::string reference = "YEAR,MO,DY,TMAX,TMIN,RAIN\n";
        for (int month = 1; month <= 3; ++month)
            for (int day = 1; day <= (month == 2 ? 28 : 31); ++day) {
                const int n = (month - 1) * 31 + day;
                const double tmax = 10 + n % 7;
                const double tmin = 2 + n % 5;
                const double rain = n % 3 == 0 ? 5 : 0;
                reference += "2001," + std::to_string(month) + "," + std::to_string(day) + "," + number(tmax) + ","
                             + number(tmin) + "," + number(rain) + "\n";
                if (month == 3 && day == 5)
                    continue; // absent from the station
                const bool gap = month == 2 && day >= 10 && day <= 19;
                station += "2001 " + std::to_string(month) + " " + std::to_string(day) + " "
                           + (gap ? std::string("-99") : number(2 + 1.5 * tmax)) + " " + number(tmin - 1) + " "
                           + number(0.8 * rain) + "\n";
            }
        writeText(temp.path() / "station.txt", station);
        writeText(temp.path() / "reference.csv", reference);
    }

    static std::string number(double value)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", value);
        return text;
    }

    test::BatchOutcome run(const std::vector<std::string>& more)
    {
        std::vector<std::string> args{"--task",
                                      "1",
                                      "--rows",
                                      "1",
                                      "--columns",
                                      "Year,Month,Day,T-max:oC,T-min:oC,Precip:mm",
                                      "--site",
                                      "40.5 N 96.25 W 350",
                                      "--flags",
                                      (temp.path() / "flags.csv").string(),
                                      (temp.path() / "station.txt").string(),
                                      "-o",
                                      (temp.path() / "out.wth").string()};
        args.insert(args.end(), more.begin(), more.end());
        return test::runBatchProgram(temp.path(), args);
    }

    test::TempFolder temp;
};

TEST_F(ReferenceFill, LongGapAndAbsentDayComeFromTheCorrectedReference)
{
    const std::vector<std::string> fill{"--fill-interpolate", "--fill-from", (temp.path() / "reference.csv").string(),
                                        "--fill-layout", "--rows 1 --fields comma --columns "
                                                         "\"Year,Month,Day,T-max:oC,T-min:oC,Precip:mm\""};
    const auto outcome = run(fill);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string flags = test::readFile(temp.path() / "flags.csv");
    EXPECT_NE(flags.find("2001-02-09,M,M,M\r\n2001-02-10,R,M,M\r\n"), std::string::npos);
    EXPECT_NE(flags.find("2001-02-19,R,M,M\r\n2001-02-20,M,M,M\r\n"), std::string::npos);
    // The absent day's temperatures are a one-day gap, bridged by a line;
    // its rain can only come from the reference.
    EXPECT_NE(flags.find("2001-03-04,M,M,M\r\n2001-03-05,I,I,R\r\n2001-03-06,M,M,M\r\n"), std::string::npos);
    const std::string wth = test::readFile(temp.path() / "out.wth");
    // 10 February is day 41: reference T-max 10 + 41 % 7 = 16, so 26.
    EXPECT_EQ(rowsStarting(wth, "2001\t41\t"), std::vector<std::string>{"2001\t41\t0.00\t26.0\t2.0\t0\t0.0\t0.0"});
    // 5 March (day 64): halfway between its neighbours, rain 0.8 x 0.
    EXPECT_EQ(rowsStarting(wth, "2001\t64\t"), std::vector<std::string>{"2001\t64\t0.00\t23.0\t3.0\t0\t0.0\t0.0"});
    EXPECT_EQ(rowsStarting(wth, "2001\t").size(), 90u);

    // The same input and settings give the same bytes.
    EXPECT_EQ(run(fill).status, 0);
    EXPECT_EQ(test::readFile(temp.path() / "out.wth"), wth);

    const auto without = run({"--fill-interpolate"});
    EXPECT_EQ(without.status, 1);
    EXPECT_NE(without.err.find("T-max is missing from 2001-02-10 to 2001-02-19 (10 days): longer than 3 days"),
              std::string::npos)
        << without.err;
}

// A station with a 20-day gap fills it from NASA POWER's series for its
// site, fetched for the station's days (here from a local server).
TEST(GapFill, TwentyDayGapFillsFromAFetchedPowerSeries)
{
    test::TempFolder temp;
    std::string station = "yr doy tx tn pr\n";
    std::string reply = "-BEGIN HEADER-\nNASA/POWER Source Native Resolution Daily Data \n"
                        "Dates (month/day/year): 01/01/2001 through 03/31/2001 in LST\n"
                        "Location: latitude  40.5   longitude -96.25 \n"
                        "elevation from MERRA-2: Average for 0.5 x 0.625 degree lat/lon region = 350.2 meters\n"
                        "The value for missing source data that cannot be computed or is outside of the sources "
                        "availability range: -999 \nparameter(s): \n"
                        "T2M_MAX     MERRA-2 Temperature at 2 Meters Maximum (C) \n"
                        "T2M_MIN     MERRA-2 Temperature at 2 Meters Minimum (C) \n"
                        "PRECTOTCORR MERRA-2 Precipitation Corrected (mm/day) \n"
                        "-END HEADER-\nYEAR,DOY,T2M_MAX,T2M_MIN,PRECTOTCORR\n";
    for (int doy = 1; doy <= 90; ++doy) {
        const int tmax = 5 + doy % 9;
        const int tmin = -3 + doy % 4;
        const int rain = doy % 4 == 0 ? 4 : 0;
        reply += "2001," + std::to_string(doy) + "," + std::to_string(tmax) + ".0," + std::to_string(tmin) + ".0,"
                 + std::to_string(rain) + ".0\n";
        const bool gap = doy >= 31 && doy <= 50;
        station += "2001 " + std::to_string(doy) + " " + (gap ? std::string("-99") : std::to_string(tmax + 2))
                   + " " + std::to_string(tmin) + " " + (gap ? std::string("-99") : std::to_string(rain / 2)) + "\n";
    }
    writeText(temp.path() / "station.txt", station);
    writeText(temp.path() / "power.csv", reply);
    test::ReplayServer server(temp.path() / "requests.log", {"200:" + (temp.path() / "power.csv").string()});
    const auto outcome = test::runBatchProgram(
        temp.path(),
        {"--task", "1", "--rows", "1", "--columns", "Year,DOY,T-max:oC,T-min:oC,Precip:mm", "--site",
         "40.5 N 96.25 W 350", "--fill-from", "power", "--power-url", server.url(), "--flags",
         (temp.path() / "flags.csv").string(), (temp.path() / "station.txt").string(), "-o",
         (temp.path() / "out.wth").string()},
        "XDG_CACHE_HOME=" + test::shellQuoted((temp.path() / "cache").string()));
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_NE(server.requests()[0].find("latitude=40.5000"), std::string::npos) << server.requests()[0];
    EXPECT_NE(server.requests()[0].find("longitude=-96.2500"), std::string::npos);
    EXPECT_NE(server.requests()[0].find("start=20010101&end=20010331"), std::string::npos);
    const std::string flags = test::readFile(temp.path() / "flags.csv");
    EXPECT_NE(flags.find("2001-01-30,M,M,M\r\n2001-01-31,R,M,R\r\n"), std::string::npos) << flags;
    EXPECT_NE(flags.find("2001-02-19,R,M,R\r\n2001-02-20,M,M,M\r\n"), std::string::npos);
    // Day 40: POWER's T-max 5 + 40 % 9 = 9, the station 2 warmer; rain 4 at half.
    EXPECT_EQ(rowsStarting(test::readFile(temp.path() / "out.wth"), "2001\t40\t"),
              std::vector<std::string>{"2001\t40\t0.00\t11.0\t-3.0\t0\t2.0\t0.0"});
    EXPECT_EQ(outcome.err.find("warning:"), std::string::npos) << outcome.err;
}

// A series fetched with the default parameters is an ordinary input: with
// --columns auto it converts to a weather file holding the reply's values.
TEST(PowerSeries, FetchedSeriesConvertsWithTheSuggestedLayout)
{
    test::TempFolder temp;
    const fs::path reply = fs::path(PLUVORA_TEST_DATA) / "power" / "ag_daily_default_parameters.csv";
    test::ReplayServer server(temp.path() / "requests.log", {"200:" + reply.string()});
    const std::string cache = "XDG_CACHE_HOME=" + test::shellQuoted((temp.path() / "cache").string());
    const fs::path fetched = temp.path() / "site.csv";
    const auto get = test::runBatchProgram(temp.path(),
                                           {"--get-power", "40.5,-96.25", "--from", "2001-01-01", "--to",
                                            "2001-01-05", "--power-url", server.url(), "-o", fetched.string()},
                                           cache);
    ASSERT_EQ(get.status, 0) << get.err;
    EXPECT_EQ(test::readFile(fetched), test::readFile(reply));
    const auto convert = test::runBatchProgram(
        temp.path(), {"--task", "1", "--columns", "auto", "--site", "40.5 N 96.25 W 350", fetched.string(), "-o",
                      (temp.path() / "site.wth").string()});
    ASSERT_EQ(convert.status, 0) << convert.err;
    EXPECT_EQ(rowsStarting(test::readFile(temp.path() / "site.wth"), "2001\t"),
              (std::vector<std::string>{"2001\t1\t9.87\t3.5\t-6.1\t71\t0.0\t0.0",
                                        "2001\t2\t7.50\t1.2\t-8.4\t81\t2.3\t0.0",
                                        "2001\t3\t10.02\t-0.5\t-10.2\t66\t0.0\t0.0",
                                        "2001\t4\t8.80\t2.2\t-7.7\t70\t0.1\t0.0",
                                        "2001\t5\t0.01\t4.0\t-5.5\t72\t0.0\t0.0"}));
    // Its one fill value is said, not passed over.
    EXPECT_NE(convert.err.find("sign -999"), std::string::npos) << convert.err;
}

} // namespace
} // namespace pluvora
