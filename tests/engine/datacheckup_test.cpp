#include "appfolder/appfolder.h"
#include "columns/variablecatalogue.h"
#include "recordingfeedback.h"
#include "run/runcontext.h"
#include "tasks/datacheckup.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

using namespace pluvora;
using pluvora::test::RecordingFeedback;
using pluvora::test::TempFolder;

namespace {

using Lines = std::vector<std::string>;
using Units = std::vector<std::pair<int, std::string>>;

struct CheckupFixture {
    TempFolder temp;
    AppFolder folder{temp.path()};
    RecordingFeedback feedback;
    RunContext run{folder, feedback};

    CheckupFixture(std::initializer_list<int> codes, const Units& units = {}, int task = 3)
    {
        int column = 0;
        for (int code : codes)
            run.columns.columnVariable[static_cast<std::size_t>(++column)] = code;
        run.columnCount = column;
        for (const auto& [code, text] : units)
            run.columns.unitText[static_cast<std::size_t>(code)] = text;
        run.task = task;
        run.rowsBefore = 1;
    }

    // Data rows below one header row.
    void check(const Lines& rows)
    {
        std::string text = "header\r\n";
        for (const auto& row : rows)
            text += row + "\r\n";
        temp.write("Input.~", text);
        dataCheckup(run);
    }

    // The report lines below the heading, without their leading tab.
    Lines listed() const
    {
        const std::string report = temp.read("Output.~");
        Lines lines;
        std::size_t start = 0;
        for (int line = 0; start < report.size(); ++line) {
            const std::size_t end = report.find("\r\n", start);
            if (line >= 4)
                lines.push_back(report.substr(start + 1, end - start - 1));
            start = end + 2;
        }
        return lines;
    }
};

const Units kCelsius = {{kTmax, "oC"}, {kTmin, "oC"}};

struct DateCase {
    const char* name;
    Lines rows;
    Lines expected;
};

class CheckupDates : public ::testing::TestWithParam<DateCase> {};

TEST_P(CheckupDates, ListsGapsRepeatsAndDaysOutOfOrder)
{
    CheckupFixture f({kYear, kDoy, kTmax, kTmin}, kCelsius);
    f.check(GetParam().rows);
    EXPECT_EQ(f.listed(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    DoyMode, CheckupDates,
    ::testing::Values(
        DateCase{"LeapYearIntoNextYear", {"2000 365 9 1", "2000 366 9 1", "2001 1 9 1"}, {}},
        DateCase{"YearChangeMidYear", {"2001 200 9 1", "2002 1 9 1"}, {}},
        DateCase{"YearsSkipped", {"1990 10 9 1", "1995 300 9 1"}, {}},
        DateCase{"SameDayNextYear", {"2001 5 9 1", "2002 5 9 1"}, {"2002 / 5"}},
        DateCase{"Day366OfCommonYear", {"1999 365 9 1", "1999 366 9 1"}, {}},
        DateCase{"Gap", {"2001 5 9 1", "2001 7 9 1", "2001 8 9 1"}, {"2001 / 7"}},
        DateCase{"Repeat", {"2001 5 9 1", "2001 5 9 1", "2001 6 9 1"}, {"2001 / 5"}},
        DateCase{"Backwards", {"2001 5 9 1", "2001 3 9 1", "2001 4 9 1"}, {"2001 / 3"}},
        DateCase{"FirstRecordAnyDay", {"2001 100 9 1"}, {}}),
    [](const ::testing::TestParamInfo<DateCase>& param) { return std::string(param.param.name); });

struct ValueCase {
    const char* name;
    std::vector<int> variables; // after Year and DOY
    Units units;
    const char* values;
    bool listed;
};

class CheckupValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(CheckupValues, ListsValuesBeyondTheirLimits)
{
    const ValueCase& c = GetParam();
    CheckupFixture f({kYear, kDoy}, c.units);
    int column = 2;
    for (int code : c.variables)
        f.run.columns.columnVariable[static_cast<std::size_t>(++column)] = code;
    f.run.columnCount = column;
    f.check({std::string("2001 10 ") + c.values});
    EXPECT_EQ(f.listed(), c.listed ? Lines{"2001 / 10"} : Lines{});
}

const Units kFahrenheit = {{kTmax, "oF"}, {kTmin, "oF"}};

INSTANTIATE_TEST_SUITE_P(
    Limits, CheckupValues,
    ::testing::Values(
        ValueCase{"TmaxEqualsTmin", {kTmax, kTmin}, kCelsius, "12.5 12.5", true},
        ValueCase{"TmaxBelowTmin", {kTmax, kTmin}, kCelsius, "3 8", true},
        ValueCase{"TemperaturesAtLimits", {kTmax, kTmin}, kCelsius, "60 -50", false},
        ValueCase{"TmaxAboveLimit", {kTmax, kTmin}, kCelsius, "60.1 10", true},
        ValueCase{"TminBelowLimit", {kTmax, kTmin}, kCelsius, "5 -50.1", true},
        ValueCase{"FahrenheitAtLimit", {kTmax, kTmin}, kFahrenheit, "140 50", false},
        ValueCase{"FahrenheitAboveLimit", {kTmax, kTmin}, kFahrenheit, "141 50", true},
        ValueCase{"FahrenheitTminAtLimit", {kTmax, kTmin}, kFahrenheit, "50 -58", false},
        ValueCase{"SoilFollowsTmaxFahrenheit", {kTmax, kTmin, kSoilT}, kFahrenheit, "80 50 140", false},
        ValueCase{"SoilAboveLimitFahrenheit", {kTmax, kTmin, kSoilT}, kFahrenheit, "80 50 141", true},
        ValueCase{"SoilAboveLimitCelsius", {kTmax, kTmin, kSoilT}, kCelsius, "30 20 61", true},
        ValueCase{"SoilBelowLimitCelsius", {kTmax, kTmin, kSoilT}, kCelsius, "30 20 -51", true},
        ValueCase{"SolarZero", {kSolar}, {{kSolar, "MJ/m2/d"}}, "0", true},
        ValueCase{"SolarNegative", {kSolar}, {{kSolar, "MJ/m2/d"}}, "-5", true},
        ValueCase{"SolarAtLimit", {kSolar}, {{kSolar, "MJ/m2/d"}}, "60", false},
        ValueCase{"SolarWattsOverLimit", {kSolar}, {{kSolar, "W/m2"}}, "700", true},
        ValueCase{"SolarWattsUnderLimit", {kSolar}, {{kSolar, "W/m2"}}, "694", false},
        ValueCase{"RainNegative", {kPrecip}, {{kPrecip, "mm"}}, "-0.1", true},
        ValueCase{"RainAtLimit", {kPrecip}, {{kPrecip, "mm"}}, "1000", false},
        ValueCase{"RainInchesOverLimit", {kPrecip}, {{kPrecip, "inch"}}, "40", true},
        ValueCase{"HumidityOver", {kRelHum}, {{kRelHum, "%"}}, "100.5", true},
        ValueCase{"HumidityAtLimits", {kRelHum, kRelHum}, {{kRelHum, "%"}}, "0 100", false},
        ValueCase{"WindNegative", {kWndSpd}, {{kWndSpd, "km/hr"}}, "-1", true},
        ValueCase{"WindHasNoUpperLimit", {kWndSpd}, {{kWndSpd, "m/s"}}, "500", false},
        ValueCase{"EtCentimetresOver", {kEt}, {{kEt, "cm"}}, "10.1", true},
        ValueCase{"PanEvapNegative", {kPanEvap}, {{kPanEvap, "mm"}}, "-2", true},
        ValueCase{"PanEvapAtLimit", {kPanEvap}, {{kPanEvap, "mm"}}, "100", false},
        ValueCase{"SunHoursOver", {kSunHr}, {{kSunHr, "hr"}}, "24.5", true},
        ValueCase{"SunPercentOver", {kSunHrPercent}, {{kSunHrPercent, "%"}}, "101", true},
        ValueCase{"SunPercentNegative", {kSunHrPercent}, {{kSunHrPercent, "%"}}, "-1", true},
        ValueCase{"IgnoredColumnNotTested", {kIgnore}, {}, "-5000", false}),
    [](const ::testing::TestParamInfo<ValueCase>& param) { return std::string(param.param.name); });

TEST(Checkup, ListsRecordFailingSeveralTestsOnce)
{
    CheckupFixture f({kYear, kDoy, kTmax, kTmin, kPrecip}, {{kTmax, "oC"}, {kTmin, "oC"}, {kPrecip, "mm"}});
    f.check({"2001 5 20 10 0", "2001 5 3 70 -4", "2001 6 20 10 0"});
    EXPECT_EQ(f.listed(), Lines{"2001 / 5"});
}

TEST(Checkup, ScreensRecordsAfterOneStartingWithZero)
{
    CheckupFixture f({kPrecip, kYear, kDoy}, {{kPrecip, "mm"}});
    f.check({"1.5 2001 1", "0 2001 2", "-3 2001 3", "2 2001 5"});
    EXPECT_EQ(f.listed(), (Lines{"2001 / 3", "2001 / 5"}));
    EXPECT_EQ(f.feedback.ticks, 4);
}

TEST(Checkup, DoyWithoutYearColumnIsYearZero)
{
    CheckupFixture f({kDoy, kTmax, kTmin}, kCelsius);
    f.check({"44 9 1", "45 9 1", "45 9 1"});
    EXPECT_EQ(f.listed(), Lines{"0 / 45"});
}

TEST(Checkup, YydoyColumnDatesRecords)
{
    CheckupFixture f({kYydoy, kTmax, kTmin}, kCelsius);
    f.check({"98044 9 1", "98045 9 1", "98047 9 1"});
    EXPECT_EQ(f.listed(), Lines{"1998 / 47"});
}

TEST(Checkup, DoyZeroFallsBackToCalendarDate)
{
    CheckupFixture f({kYear, kMonth, kDay, kDoy}, {});
    f.check({"1998 2 13 0", "1998 2 14 0", "1998 2 14 0", "1998 2 15 46"});
    EXPECT_EQ(f.listed(), Lines{"1998 / 45"});
    EXPECT_NE(f.temp.read("Output.~").find(kCheckupHeadingDoy), std::string::npos);
}

struct FailureCase {
    const char* name;
    std::vector<int> columns;
    Lines rows;
    const char* message;
};

class CheckupFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CheckupFailures, EndWithErrorAndKeepPartialReport)
{
    const FailureCase& c = GetParam();
    CheckupFixture f({}, {});
    int column = 0;
    for (int code : c.columns)
        f.run.columns.columnVariable[static_cast<std::size_t>(++column)] = code;
    f.run.columnCount = column;
    Lines rows = {"1999 1 1 1", "1999 1 1 1"}; // a repeat listed before the failure
    rows.insert(rows.end(), c.rows.begin(), c.rows.end());
    rows.push_back("1999 9 9 9");
    f.check(rows);

    EXPECT_TRUE(f.run.abortFlag);
    EXPECT_EQ(f.feedback.calls, (Lines{"sound: error", std::string("error: ") + c.message}));
    EXPECT_FALSE(f.run.outputPanel.has_value());
    EXPECT_EQ(f.listed().size(), 1u);
}

const std::vector<int> kCalendar = {kYear, kMonth, kDay, kIgnore};
const std::vector<int> kCalendarAndDoy = {kYear, kMonth, kDay, kDoy};
const std::vector<int> kYearDoy = {kYear, kDoy, kIgnore, kIgnore};

INSTANTIATE_TEST_SUITE_P(
    Messages, CheckupFailures,
    ::testing::Values(
        FailureCase{"FebruaryTwentyNinthOfCommonYear", kCalendar, {"1999 2 29 1"}, kDataFormatProblem},
        FailureCase{"MonthThirteen", kCalendar, {"1999 13 1 1"}, kDataFormatProblem},
        FailureCase{"TextToken", kCalendar, {"1999 1 2 n/a"}, kDataFormatProblem},
        FailureCase{"DayZero", kCalendar, {"1999 1 0 1"}, kDateIncomplete},
        FailureCase{"DoyAboveYear", kCalendarAndDoy, {"1999 1 2 367"}, kWrongDoy},
        FailureCase{"DoyNegative", kCalendarAndDoy, {"1999 1 2 -1"}, kWrongDoy},
        FailureCase{"DoyZeroNoCalendarDate", kYearDoy, {"1999 0 1 1"}, kDateIncomplete}),
    [](const ::testing::TestParamInfo<FailureCase>& param) { return std::string(param.param.name); });

TEST(Checkup, TemperatureUnitsMustMatchBeforeAnyFileIsOpened)
{
    for (const Units& units : {Units{{kTmax, "oC"}, {kTmin, "oF"}}, Units{{kTmin, "oC"}}}) {
        CheckupFixture f({kYear, kDoy, kTmax, kTmin}, units);
        f.check({"2001 1 5 9"});
        EXPECT_TRUE(f.run.abortFlag);
        EXPECT_EQ(f.feedback.calls, (Lines{"sound: error", std::string("error: ") + kTemperatureUnitsMustMatch}));
        EXPECT_FALSE(std::filesystem::exists(f.temp.path() / "Output.~"));
    }
}

struct EndingCase {
    const char* name;
    int task;
    Lines rows;
    Lines calls;
    bool abort;
    bool panel;
};

class CheckupEndings : public ::testing::TestWithParam<EndingCase> {};

TEST_P(CheckupEndings, TellTheUserAndStopWhenNeeded)
{
    const EndingCase& c = GetParam();
    CheckupFixture f({kYear, kDoy, kTmax, kTmin}, kCelsius, c.task);
    f.check(c.rows);
    EXPECT_EQ(f.feedback.calls, c.calls);
    EXPECT_EQ(f.run.abortFlag, c.abort);
    if (c.panel)
        EXPECT_EQ(f.run.outputPanel, std::string(kCheckupReportTitle) + "\n" + kCheckupReportEditHint + "\n\n"
                                         + kCheckupHeadingDoy + "\n\t2001 / 2");
    else
        EXPECT_FALSE(f.run.outputPanel.has_value());
}

const Lines kSuspicious = {"2001 1 9 1", "2001 2 1 9"};
const Lines kClean = {"2001 1 9 1", "2001 2 9 1"};

INSTANTIATE_TEST_SUITE_P(
    Tasks, CheckupEndings,
    ::testing::Values(
        EndingCase{"CheckTaskWithErrors", 3, kSuspicious,
                   {"sound: error", std::string("warning: ") + kDataErrorsSpottedTask3}, true, true},
        EndingCase{"ConvertTaskWithErrors", 1, kSuspicious,
                   {"sound: error", std::string("warning: ") + kDataErrorsSpotted}, true, true},
        EndingCase{"CheckTaskClean", 3, kClean,
                   {"sound: exclamation", std::string("information: ") + kNoSuspiciousData}, true, false},
        EndingCase{"CheckTaskNoData", 3, {}, {"sound: exclamation", std::string("information: ") + kNoSuspiciousData},
                   true, false},
        EndingCase{"ConvertTaskClean", 1, kClean, {}, false, false}),
    [](const ::testing::TestParamInfo<EndingCase>& param) { return std::string(param.param.name); });

struct GoldenCase {
    const char* name;
    std::vector<int> columns;
    Units units;
};

class CheckupGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(CheckupGolden, WritesReportByteForByte)
{
    const GoldenCase& c = GetParam();
    const std::filesystem::path data = std::filesystem::path(PLUVORA_TEST_DATA) / "screening";
    const std::string name = c.name;
    CheckupFixture f({}, c.units);
    int column = 0;
    for (int code : c.columns)
        f.run.columns.columnVariable[static_cast<std::size_t>(++column)] = code;
    f.run.columnCount = column;
    f.run.rowsBefore = 2;
    f.temp.write("Input.~", pluvora::test::readFile(data / (name + "_input.txt")));
    dataCheckup(f.run);

    EXPECT_EQ(f.temp.read("Output.~"), pluvora::test::readFile(data / (name + "_report.txt")));
    EXPECT_TRUE(f.run.abortFlag);
    EXPECT_EQ(f.feedback.messages(), Lines{std::string("warning: ") + kDataErrorsSpottedTask3});
}

INSTANTIATE_TEST_SUITE_P(
    Reports, CheckupGolden,
    ::testing::Values(GoldenCase{"calendar",
                                 {kYear, kMonth, kDay, kTmax, kTmin, kPrecip, kSolar},
                                 {{kTmax, "oC"}, {kTmin, "oC"}, {kPrecip, "mm"}, {kSolar, "MJ/m2/d"}}},
                      GoldenCase{"doy",
                                 {kYear, kDoy, kSolar, kTmax, kTmin, kPrecip},
                                 {{kTmax, "oF"}, {kTmin, "oF"}, {kPrecip, "inch"}, {kSolar, "Langley"}}}),
    [](const ::testing::TestParamInfo<GoldenCase>& param) { return std::string(param.param.name); });

} // namespace
