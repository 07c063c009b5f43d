#include "engine/error.h"
#include "engine/run/columnresolution.h"
#include "engine/run/sitecoordinate.h"
#include "engine/table/inputtable.h"
#include "engine/table/paneltext.h"
#include "engine/tasks/convertrearrange.h"
#include "engine/tasks/datacheckup.h"
#include "engine/tasks/estimatesolarfromtemp.h"
#include "engine/tasks/estimationframe.h"
#include "engine/tasks/etbypm.h"
#include "batchmessages.h"
#include "engine/suggest/suggestionverdict.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

const fs::path kSampleData = PLUVORA_SAMPLE_DATA;
const fs::path kGolden = fs::path(PLUVORA_BATCH_GOLDEN);

const std::string kHead = "Year\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\r\n"
                          "\t\tMJ/m2\toC\toC\t%\tmm\tmm\r\n";

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& arg)
{
    std::string q = "'";
    for (char c : arg) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

Result runBatch(const test::TempFolder& temp, const std::vector<std::string>& args)
{
    std::string command = quoted(PLUVORA_BATCH_EXE);
    for (const auto& a : args)
        command += " " + quoted(a);
    const fs::path out = temp.path() / "stdout.txt";
    const fs::path err = temp.path() / "stderr.txt";
    command += " >" + quoted(out.string()) + " 2>" + quoted(err.string()) + " </dev/null";
    const int raw = std::system(command.c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = test::readFile(out);
    r.err = test::readFile(err);
    return r;
}

std::string line(const char* kind, std::string_view text) { return std::string(kind) + ": " + std::string(text) + "\n"; }

// The usage example: Fahrenheit, inches, RH, an ignored column and W/m2.
const char* const kUsageColumns = "Year,Month,Day,T-max:oF,T-min:oF,Precip:inch,RelHum:%,Ignore,Solar:W/m2";
const char* const kUsageInput = "Station Lincoln\n"
                                "Daily data 2000\n"
                                "yr mo dy tx tn pr rh x sr\n"
                                "2000 3 1 50 32 0.5 70.5 9 200\n"
                                "2000 3 2 59 14 0 71.5 9 300\n";

class Batch : public ::testing::Test {
protected:
    test::TempFolder temp;
    fs::path input = temp.write("station.txt", kUsageInput);

    std::vector<std::string> usageArgs() const
    {
        return {"--task", "1", "--rows", "3", "--columns", kUsageColumns, "--site", "40.5 N 96.25 W 350",
                input.string()};
    }
};

TEST_F(Batch, ConvertsToStandardOutputWithFourHeadRows)
{
    const auto r = runBatch(temp, usageArgs());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "Station Lincoln\r\n"
                     "40.5 96.25 350  Lat (deg), long (deg), elev(m)\r\n"
                         + kHead
                         + "2000\t61\t17.28\t10.0\t0.0\t71\t12.7\t0.0\r\n"
                           "2000\t62\t25.92\t15.0\t-10.0\t72\t0.0\t0.0\r\n");
}

TEST_F(Batch, WritesTheOutputFileAndNothingElse)
{
    auto args = usageArgs();
    args.push_back("-o");
    args.push_back((temp.path() / "out.wth").string());
    const auto r = runBatch(temp, args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(temp.read("out.wth"), runBatch(temp, usageArgs()).out);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(temp.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"out.wth", "station.txt", "stderr.txt", "stdout.txt"}));
}

TEST_F(Batch, SouthAndEastAreNegativeAndLatitude66IsAccepted)
{
    auto args = usageArgs();
    args[7] = "66 S 10 E 0";
    const auto r = runBatch(temp, args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find(kHead)), "Station Lincoln\r\n-66 -10 0  Lat (deg), long (deg), elev(m)\r\n");
}

struct RefusedSite {
    const char* site;
    std::string_view message;
};

class BatchSite : public Batch, public ::testing::WithParamInterface<RefusedSite> {};

TEST_P(BatchSite, IsRefusedWithTheDialogMessageBeforeAnyRun)
{
    auto args = usageArgs();
    args[7] = GetParam().site;
    const auto r = runBatch(temp, args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, line("error", GetParam().message));
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(Batch, BatchSite,
                         ::testing::Values(RefusedSite{"66.5 N 10 E 5", kLatitudeTooLarge},
                                           RefusedSite{"40 N ten W 5", kInvalidInput},
                                           RefusedSite{"+-5 N 10 W 5", kInvalidInput}));

class BatchUsage : public Batch, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(BatchUsage, BadOptionsExitWithStatus2AndTheUsage)
{
    std::vector<std::string> args = GetParam();
    for (auto& a : args)
        if (a == "INPUT")
            a = input.string();
    const auto r = runBatch(temp, args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage: pluvora-batch"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Batch, BatchUsage,
    ::testing::Values(std::vector<std::string>{"--task", "1", "--rows", "0", "--columns", "Yaer", "--site", "1 N 1 W 1", "INPUT"},
                      std::vector<std::string>{"--task", "1", "--rows", "0", "--columns", "Year,T-max:K", "--site", "1 N 1 W 1", "INPUT"},
                      std::vector<std::string>{"--task", "1", "--rows", "0", "--columns", "Year:mm", "--site", "1 N 1 W 1", "INPUT"},
                      std::vector<std::string>{"--task", "1", "--rows", "0", "--columns", "Year,,,,,,,,,,,,DOY", "--site", "1 N 1 W 1", "INPUT"},
                      std::vector<std::string>{"--task", "8", "--rows", "0", "--columns", "Year", "INPUT"},
                      std::vector<std::string>{"--task", "1", "--rows", "-1", "--columns", "Year", "--site", "1 N 1 W 1", "INPUT"},
                      std::vector<std::string>{"--task", "1", "--rows", "0", "--columns", "Year", "INPUT"},
                      std::vector<std::string>{"--task", "1", "--rows", "0", "--columns", "Year", "--site", "1 N 1 W", "INPUT"},
                      std::vector<std::string>{"--task", "1", "--rows", "0", "--columns", "Year", "--site", "1 N 1 W 1"},
                      std::vector<std::string>{"--task", "3", "--rows", "0", "--columns", "Year", "--frobnicate", "INPUT"},
                      std::vector<std::string>{"--task", "6", "--rows", "0", "--columns", "Year", "INPUT"},
                      std::vector<std::string>{"--task", "6", "--rows", "0", "--columns", "Year", "--pan", "6", "--no-rearrange", "INPUT"},
                      std::vector<std::string>{"--task", "4", "--rows", "0", "--columns", "Year", "--region", "0", "INPUT"},
                      std::vector<std::string>{"--task", "5", "--rows", "0", "--columns", "Year", "--zone", "x", "INPUT"},
                      std::vector<std::string>{"--task", "6", "--rows", "0", "--columns", "Year", "--no-rearrange", "--fetch"}));

struct StoppedRun {
    const char* name;
    std::string input;
    std::vector<std::string> args;
    std::string err;
};

class BatchStops : public ::testing::TestWithParam<StoppedRun> {};

TEST_P(BatchStops, ShowTheWindowMessageAndExitWithStatus1)
{
    const auto& c = GetParam();
    test::TempFolder temp;
    auto args = c.args;
    args.push_back(temp.write("in.txt", c.input).string());
    const auto r = runBatch(temp, args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Batch, BatchStops,
    ::testing::Values(
        StoppedRun{"NoColumns", "2001 1\n", {"--task", "1", "--rows", "0", "--columns", ",,", "--site", "1 N 1 W 1"},
                   line("error", kColumnsNotSpecified)},
        StoppedRun{"NoRows", "2001 1\n", {"--task", "1", "--columns", "Year,DOY", "--site", "1 N 1 W 1"},
                   line("error", kNoRowsBefore)},
        StoppedRun{"NoTask", "2001 1\n", {"--rows", "0", "--columns", "Year,DOY"}, line("error", kNoTask)},
        StoppedRun{"ColumnWithoutUnit", "2001 1 20\n",
                   {"--task", "1", "--rows", "0", "--columns", "Year,DOY,T-max", "--site", "1 N 1 W 1"},
                   line("error", "column 3 has no unit.")},
        StoppedRun{"NotANumber", "2001 1 1-2\n",
                   {"--task", "1", "--rows", "0", "--columns", "Year,DOY,Precip:mm", "--site", "1 N 1 W 1"},
                   line("error", kInvalidNumericInput) + line("note", "input line 1, column 3")},
        StoppedRun{"MidWestSouthOfTheEquator", "2001 1 20 10\n",
                   {"--task", "4", "--rows", "0", "--columns", "Year,DOY,T-max:oC,T-min:oC", "--latitude", "-10"},
                   line("plain", kPositiveLatitudeNeeded)},
        StoppedRun{"LatitudeNotANumber", "2001 1 20 10\n",
                   {"--task", "4", "--rows", "0", "--columns", "Year,DOY,T-max:oC,T-min:oC", "--latitude", "4O"},
                   line("error", notAFloatMessage("4O"))},
        StoppedRun{"PenmanWithoutElevation", "2001 1 20 20 10 50 2\n",
                   {"--task", "7", "--rows", "0", "--columns", "Year,DOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,RelHum,WndSpd:m/s",
                    "--latitude", "35"},
                   line("error", kLatitudeOrAltitudeMissing)},
        StoppedRun{"NotATextFile", std::string("2001 1\0 2\n", 10),
                   {"--task", "1", "--rows", "0", "--columns", "Year,DOY", "--site", "1 N 1 W 1"},
                   line("error", kNotATextFile)}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(BatchCheckup, CleanDataIsAnInformationAndSuccess)
{
    test::TempFolder temp;
    const auto in = temp.write("in.txt", "h\n2001 1 20 10\n2001 2 21 10\n");
    const auto r = runBatch(temp, {"--task", "3", "--rows", "1", "--columns", "Year,DOY,T-max:oC,T-min:oC", in.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, line("information", kNoSuspiciousData));
    EXPECT_EQ(r.out, "");
}

TEST(BatchCheckup, ReportGoesToStandardOutputAndFails)
{
    test::TempFolder temp;
    const auto in = temp.write("in.txt", "h\n2001 1 20 10\n2001 2 70 10\n");
    const auto r = runBatch(temp, {"--task", "3", "--rows", "1", "--columns", "Year,DOY,T-max:oC,T-min:oC", in.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, line("warning", kDataErrorsSpottedTask3));
    EXPECT_EQ(r.out.rfind(std::string(kCheckupReportTitle) + "\r\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("2001 / 2\r\n"), std::string::npos) << r.out;
}

// A list longer than the output's blocks: every line of it reaches standard
// output, in order, as the report file holds it.
TEST(BatchCheckup, ALongListIsWrittenWhole)
{
    test::TempFolder temp;
    std::string input = "h\n";
    std::string list = std::string(kCheckupReportTitle) + "\r\n" + kCheckupReportEditHint + "\r\n\r\n"
                       + kCheckupHeadingDoy + "\r\n";
    int year = 1901, doy = 1;
    for (int i = 0; i < 60000; ++i) {
        const bool suspicious = i % 2 == 0;
        input += std::to_string(year) + " " + std::to_string(doy) + (suspicious ? " 70 10\n" : " 20 10\n");
        if (suspicious)
            list += "\t" + std::to_string(year) + " / " + std::to_string(doy) + "\r\n";
        if (++doy > (year % 4 == 0 ? 366 : 365)) {
            doy = 1;
            ++year;
        }
    }
    const auto in = temp.write("in.txt", input);
    const auto r = runBatch(temp, {"--task", "3", "--rows", "1", "--columns", "Year,DOY,T-max:oC,T-min:oC", in.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, line("warning", kDataErrorsSpottedTask3));
    EXPECT_EQ(r.out.size(), list.size());
    EXPECT_TRUE(r.out == list);
}

TEST(BatchMissingValues, ReportTheRowsOnStandardOutput)
{
    test::TempFolder temp;
    const auto in = temp.write("in.txt", "2001 1 20 10\n2001 2 21\n");
    const auto r = runBatch(temp, {"--task", "1", "--rows", "0", "--columns", "Year,DOY,T-max:oC,T-min:oC",
                                   "--site", "1 N 1 W 1", in.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("error: "), std::string::npos);
    EXPECT_NE(r.out, "");
}

// Real files converted as a user would: header rows from each file's note,
// the date, temperature, rain and (where its unit is offered) solar columns.
struct SampleCase {
    const char* name;
    const char* file;
    const char* rows;
    const char* columns;
    const char* site;
};

class BatchSamples : public ::testing::TestWithParam<SampleCase> {};

TEST_P(BatchSamples, MatchTheGoldenWeatherFile)
{
    const auto& c = GetParam();
    test::TempFolder temp;
    const fs::path out = temp.path() / "out.wth";
    const auto r = runBatch(temp, {"--task", "1", "--rows", c.rows, "--columns", c.columns, "--site", c.site,
                                   (kSampleData / c.file).string(), "-o", out.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(test::withoutZeroNotices(r.err), "");
    fs::path golden = kGolden / c.file;
    golden.replace_extension(".wth");
    EXPECT_TRUE(test::readFile(out) == test::readFile(golden)) << "differs from " << golden;
}

INSTANTIATE_TEST_SUITE_P(
    Batch, BatchSamples,
    ::testing::Values(
        // Daymet's srad is a daylight mean, not a daily one: not taken as W/m2.
        SampleCase{"Daymet", "daymet_v3_demo_2000-2003.csv", "8",
                   "Year,DOY,Ignore,Precip:mm,Ignore,Ignore,T-max:oC,T-min:oC", "36.0133 N 84.2625 W 279"},
        SampleCase{"SiloApsim", "silo_apsim_wagga_72150.met", "23",
                   "Year,DOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,Precip:mm", "35.1583 S 147.4575 E 212"}),
    [](const auto& param) { return std::string(param.param.name); });

// --columns auto converts only what it is sure of: the same file as a
// careful hand layout, or nothing at all and the reasons.
TEST(BatchSuggested, ConvertsAsTheHandLayoutOrWritesNothing)
{
    test::TempFolder temp;
    const std::string power = (kSampleData / "nasa_power_chakwal_2000-2002_daily.csv").string();
    const auto hand = runBatch(temp, {"--task", "1", "--rows", "33", "--fields", "comma", "--pick", "1-4,11-12,15-17",
                                      "--columns", "Year,Month,Day,Solar:kWh/m2/d,T-max:oC,T-min:oC,RelHum:%,Precip:mm,DewPt:oC",
                                      "--sign", "-999", "--site", "32.9348 N 72.8576 E 448.45", power});
    const auto suggested = runBatch(temp, {"--task", "1", "--columns", "auto", "--site", "32.9348 N 72.8576 E 448.45", power});
    EXPECT_EQ(suggested.status, 0) << suggested.err;
    EXPECT_EQ(suggested.out, hand.out);

    // Names nobody knows: the date is found, nothing else; no file is written.
    const auto in = temp.write("unknown.txt", "jaar dag gx tx tn rr\n2021 1 812 105 20 0\n2021 2 910 110 15 32\n");
    const fs::path out = temp.path() / "unknown.wth";
    const auto r = runBatch(temp, {"--task", "1", "--columns", "auto", "--site", "52 N 5 E 2", in.string(), "-o",
                                   out.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(r.err.rfind(line("error", kSuggestionNotSure), 0), 0u) << r.err;
    EXPECT_NE(r.err.find("notice: not sure: Solar: no column was found; column 3 (gx)"), std::string::npos) << r.err;
}

TEST(BatchSamples, NasaPowerTemperaturesWithinTwelveColumns)
{
    test::TempFolder temp;
    const auto r = runBatch(temp, {"--task", "1", "--rows", "33", "--columns", "Year,Month,Day,,,,,,,Ignore,T-max:oC,T-min:oC",
                                   "--site", "32.9348 N 72.8576 E 448.45",
                                   (kSampleData / "nasa_power_chakwal_2000-2002_daily.csv").string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "notice: No column holds Solar: the weather file gets 0 for it on every day.\n"
                     "notice: No column holds Precip: the weather file gets 0 for it on every day.\n");
    EXPECT_EQ(r.out.substr(0, r.out.find("2000\t3\t")),
              "-BEGIN HEADER-\r\n32.9348 -72.8576 448.45  Lat (deg), long (deg), elev(m)\r\n" + kHead
                  + "2000\t1\t0.00\t23.2\t9.6\t0\t0.0\t0.0\r\n"
                    "2000\t2\t0.00\t22.9\t8.1\t0\t0.0\t0.0\r\n");
    EXPECT_NE(r.out.find("2000\t366\t"), std::string::npos); // leap year by calendar
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4 + 1096);
}

TEST(BatchSamples, QuotedCanadianFileStopsOnItsDateToken)
{
    test::TempFolder temp;
    const auto r = runBatch(temp, {"--task", "1", "--rows", "25", "--columns", "Ignore,Year,Month,Day,Ignore,T-max:oC,Ignore,T-min:oC",
                                   "--site", "45.4 N 73.13 W 38",
                                   (kSampleData / "eccc_marieville_2014_daily.csv").string()});
    EXPECT_EQ(r.status, 1);
    // The first data row's quoted date is the token.
    EXPECT_EQ(r.err, line("error", kInvalidNumericInput) + line("note", "input line 26, column 1"));
    EXPECT_EQ(r.out, "");
}

// The hand-checked station file: the window's golden test compares its
// output panel with the same bytes.
TEST(BatchGolden, StationFileGivesTheHandCheckedWeatherFile)
{
    test::TempFolder temp;
    const fs::path station = fs::path(PLUVORA_TEST_DATA) / "station";
    const auto out = temp.path() / "station.wth";
    const auto r = runBatch(temp, {"--task", "1", "--rows", "3", "--columns",
                                   "Month,Day,Year,T-max:oF,T-min:oF,Precip:inch,RelHum:%,Ignore,Solar:W/m2",
                                   "--site", "40.5 N 96.25 W 350", (station / "input.txt").string(), "-o",
                                   out.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readFile(out), test::readFile(station / "expected.wth"));
}

// Tasks 4 to 7 on real files; the window's golden test shows the same bytes.
struct EstimateCase {
    const char* name;
    const char* golden; // in the estimates folder
    std::vector<std::string> args;
};

class BatchEstimates : public ::testing::TestWithParam<EstimateCase> {};
void PrintTo(const EstimateCase& c, std::ostream* os) { *os << c.name; }

TEST_P(BatchEstimates, MatchTheHandCheckedGolden)
{
    const auto& c = GetParam();
    test::TempFolder temp;
    const fs::path out = temp.path() / "out.txt";
    auto args = c.args;
    args.back() = (kSampleData / args.back()).string();
    args.insert(args.end(), {"-o", out.string()});
    const auto r = runBatch(temp, args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(test::withoutZeroNotices(r.err), "");
    const fs::path golden = fs::path(PLUVORA_TEST_DATA) / "estimates" / c.golden;
    EXPECT_TRUE(test::readFile(out) == test::readFile(golden)) << "differs from " << golden;
}

INSTANTIATE_TEST_SUITE_P(
    Batch, BatchEstimates,
    ::testing::Values(
        EstimateCase{"SolarFromTemperature", "task4_agrimet_faln_2015.txt",
                     {"--task", "4", "--rows", "1", "--columns", "Year,Month,Day,T-min:oF,T-max:oF", "--latitude",
                      "39.4575", "--no-rearrange", "agrimet_faln_2015_daily.csv"}},
        EstimateCase{"SolarFromSunshine", "task5_knmi_debilt_1993.wth",
                     {"--task", "5", "--rows", "2", "--columns", "Year,Month,Day,Ignore,Ignore,Ignore,Ignore,Ignore,SunHr",
                      "--latitude", "52.1", "knmi_debilt_260_1993_si_units.txt"}},
        EstimateCase{"EtFromPan", "task6_silo_ppd_wagga_2024.txt",
                     {"--task", "6", "--rows", "2", "--columns", "Year,DOY,Ignore,Ignore,PanEvap:mm,RelHum,WndSpd:m/s",
                      "--pan", "1", "--fetch", "1000", "--no-rearrange", "silo_ppd_wagga_72150_2024_pan.txt"}},
        EstimateCase{"EtByPenmanMonteith", "task7_knmi_debilt_1993.wth",
                     {"--task", "7", "--rows", "2", "--columns",
                      "Year,Month,Day,Solar:MJ/m2/d,T-max:oC,T-min:oC,RelHum,WndSpd:m/s", "--latitude", "52.1",
                      "--elevation", "2", "knmi_debilt_260_1993_si_units.txt"}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(BatchEstimates, PanSettingsReachTheTask)
{
    test::TempFolder temp;
    const auto in = temp.write("in.txt", "h\n2001 1 8 2 60\n");
    auto pan = [&](std::vector<std::string> extra) {
        std::vector<std::string> args{"--task", "6", "--rows", "1", "--columns", "Year,DOY,PanEvap:mm,WndSpd:m/s,RelHum",
                                      "--no-substitution", "--no-rearrange"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(in.string());
        return runBatch(temp, args).out;
    };
    EXPECT_EQ(pan({}), "Reference ET (last column, mm) estimated from pan evaporation of green fetch with 1000 m.h\r\n"
                       "2001 1 8 2 60\t6.4\r\n");
    EXPECT_EQ(pan({"--pan", "4", "--fetch", ""}),
              "Reference ET (last column, mm) estimated from pan evaporation of dry fetch with  m.h\r\n"
              "2001 1 8 2 60\t5.4\r\n");
    EXPECT_EQ(pan({"--pan", "5", "--fetch", "7"}),
              "Reference ET (last column, mm) estimated from pan evaporation of with unknown pan type.h\r\n"
              "2001 1 8 2 60\t6.1\r\n");
}

} // namespace
} // namespace pluvora

namespace pluvora {
namespace {

// Hostile input and output: each ends with a clear message and the right
// status, quickly, and leaves every file the user has whole.
struct HostileCase {
    const char* name;
    std::string input;  // the input file; empty for station.txt
    std::string rows;
    std::string stdoutTo; // a redirection target; empty for a file
    int status;
    std::string err;
};

class BatchHostile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(BatchHostile, EndsWithAMessageAndTheRightStatus)
{
    const HostileCase& c = GetParam();
    test::TempFolder temp;
    const auto station = temp.write("station.txt", kUsageInput);
    std::string command = quoted(PLUVORA_BATCH_EXE);
    for (const std::string& a : {std::string("--task"), std::string("1"), std::string("--rows"), c.rows,
                                 std::string("--columns"), std::string(kUsageColumns), std::string("--site"),
                                 std::string("40.5 N 96.25 W 350"),
                                 c.input.empty() ? station.string() : c.input})
        command += " " + quoted(a);
    const fs::path err = temp.path() / "stderr.txt";
    const std::string out = c.stdoutTo.empty() ? (temp.path() / "stdout.txt").string() : c.stdoutTo;
    command += " >" + quoted(out) + " 2>" + quoted(err.string()) + " </dev/null";
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, c.status);
    EXPECT_EQ(test::readFile(err), c.err);
    EXPECT_EQ(temp.read("station.txt"), kUsageInput);
}

INSTANTIATE_TEST_SUITE_P(
    Batch, BatchHostile,
    ::testing::Values(
        HostileCase{"FullDisk", "", "3", "/dev/full", 1,
                    "error: Cannot write to standard output: No space left on device\n"},
        HostileCase{"EndlessZeros", "/dev/zero", "3", "", 1, line("error", kNotATextFile)},
        HostileCase{"RowsFarPastTheEnd", "", "999999999", "", 1, line("error", kDateIsMissing)}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(BatchOutput, AnInputNamedLikeATemporaryFileSurvives)
{
    test::TempFolder temp;
    const auto input = temp.write("out.wth.new", kUsageInput);
    const auto r = runBatch(temp, {"--task", "1", "--rows", "3", "--columns", kUsageColumns, "--site",
                                   "40.5 N 96.25 W 350", input.string(), "-o", (temp.path() / "out.wth").string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(temp.read("out.wth.new"), kUsageInput);
    EXPECT_EQ(temp.read("out.wth").substr(0, 17), "Station Lincoln\r\n");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(temp.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"out.wth", "out.wth.new", "stderr.txt", "stdout.txt"}));
}

TEST(BatchBadNumber, TheErrorIsFollowedByWhereTheNumberIs)
{
    test::TempFolder temp;
    const auto input = temp.write("station.txt", "Station\nh2\nh3\n2000 3 1 50 32 0.5 70.5 9 200\n"
                                                 "      \n2000 3 2 50 32 0.5 7-0 9 200\n");
    for (const char* substitution : {"--sign", "--no-substitution"}) {
        std::vector<std::string> args = {"--task", "1", "--rows", "3", "--columns", kUsageColumns,
                                         "--site", "40.5 N 96.25 W 350", input.string()};
        if (std::string(substitution) == "--sign")
            args.insert(args.begin(), {"--sign", "-99"});
        else
            args.insert(args.begin(), substitution);
        const auto r = runBatch(temp, args);
        EXPECT_EQ(r.status, 1);
        // Without substitution the checkup meets the number and says so in
        // its own words, without a place.
        EXPECT_EQ(r.err, std::string(substitution) == "--sign"
                             ? line("error", kInvalidNumericInput) + "note: input line 6, column 7\n"
                             : line("error", kDataFormatProblem));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, BatchUsage,
    ::testing::Values(std::vector<std::string>{"--task", "3", "--rows", "0", "--columns", "Year", "--fields", "pipe", "INPUT"},
                      std::vector<std::string>{"--task", "3", "--rows", "0", "--columns", "Year", "--fields", "fixed", "INPUT"},
                      std::vector<std::string>{"--task", "3", "--rows", "0", "--columns", "Year", "--widths", "5,11", "INPUT"},
                      std::vector<std::string>{"--task", "3", "--rows", "0", "--columns", "Year", "--fields", "fixed",
                                               "--widths", "11,5", "INPUT"},
                      std::vector<std::string>{"--task", "3", "--rows", "0", "--columns", "Year", "--fields", "comma",
                                               "--decimal-comma", "INPUT"},
                      std::vector<std::string>{"--task", "3", "--rows", "0", "--columns", "Date:YYYY-DD-MM", "INPUT"}));

TEST(BatchSamples, QuotedCanadianFileReadsAsCommaFieldsWithADate)
{
    test::TempFolder temp;
    const std::string file = (kSampleData / "eccc_marieville_2014_daily.csv").string();
    const char* columns = "Date:YYYY-MM-DD,Ignore,Ignore,Ignore,Ignore,T-max:oC,Ignore,T-min:oC";
    const auto r = runBatch(temp, {"--task", "3", "--rows", "25", "--fields", "comma", "--columns", columns, file});
    // Empty fields took the substitute 0.01, and the checkup lists each day
    // a temperature was substituted on, dated by the Date column: 4 January
    // (maximum empty) first.
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("(year / month / day):\r\n\t2014 / 1 / 4\r\n\t2014 / 1 / 10\r\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\t2014 / 6 / 19\r\n"), std::string::npos);

    // Without substitution the empty field is reported with its place.
    const auto stopped = runBatch(temp, {"--task", "3", "--rows", "25", "--fields", "comma", "--no-substitution",
                                         "--columns", columns, file});
    EXPECT_EQ(stopped.status, 1);
    EXPECT_NE(stopped.err.find(line("note", "input line 29, column 6")), std::string::npos) << stopped.err;
    EXPECT_NE(stopped.out.find("input line 29, column 6: \"2014-01-04\""), std::string::npos) << stopped.out;
}

} // namespace
} // namespace pluvora
