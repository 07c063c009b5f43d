#include "engine/appfolder/appfolder.h"
#include "engine/columns/variablecatalogue.h"
#include "engine/stage/runcontext.h"
#include "engine/tasks/datacheckup.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using namespace pluvora;
using pluvora::test::RecordingFeedback;
using pluvora::test::TempFolder;

namespace {

using Lines = std::vector<std::string>;
using Codes = std::vector<int>;
using Units = std::vector<std::pair<int, std::string>>;

const Units kCelsius = {{kTmax, "oC"}, {kTmin, "oC"}};
const Units kFahrenheit = {{kTmax, "oF"}, {kTmin, "oF"}};

struct CheckupFixture {
    TempFolder temp;
    AppFolder folder{temp.path()};
    RecordingFeedback feedback;
    RunContext run{folder, feedback};

    CheckupFixture(const Codes& codes, const Units& units, int task = 3)
    {
        for (int code : codes)
            run.columns.columnVariable[static_cast<std::size_t>(++run.columnCount)] = code;
        for (const auto& [code, text] : units)
            run.columns.unitText[static_cast<std::size_t>(code)] = text;
        run.task = task;
        run.rowsBefore = 1;
    }

    void check(const Lines& rows)
    {
        std::string text = "header\r\n";
        for (const auto& row : rows)
            text += row + "\r\n";
        temp.write("Input.~", text);
        dataCheckup(run);
    }

    // The report's date lines without their leading tab.
    Lines listed() const
    {
        const std::string report = temp.read("Output.~");
        Lines lines;
        for (std::size_t start = 0, line = 0; start < report.size(); ++line) {
            const std::size_t end = report.find("\r\n", start);
            if (line >= 4)
                lines.push_back(report.substr(start + 1, end - start - 1));
            start = end + 2;
        }
        return lines;
    }
};

struct Case {
    const char* name;
    Codes columns;
    Units units;
    Lines rows;
    Lines expected;
};

std::string caseName(const ::testing::TestParamInfo<Case>& param) { return param.param.name; }

class CheckupLists : public ::testing::TestWithParam<Case> {};

TEST_P(CheckupLists, SuspiciousRecordsOnly)
{
    const Case& c = GetParam();
    CheckupFixture f(c.columns, c.units);
    f.check(c.rows);
    EXPECT_EQ(f.listed(), c.expected);
}

const Codes kDoyTemps = {kYear, kDoy, kTmax, kTmin};

INSTANTIATE_TEST_SUITE_P(
    Dates, CheckupLists,
    ::testing::Values(
        Case{"LeapYearIntoNextYear", kDoyTemps, kCelsius, {"2000 365 9 1", "2000 366 9 1", "2001 1 9 1"}, {}},
        Case{"YearChangeMidYear", kDoyTemps, kCelsius, {"2001 200 9 1", "2002 1 9 1"}, {}},
        Case{"SameDayNextYear", kDoyTemps, kCelsius, {"2001 5 9 1", "2002 5 9 1"}, {"2002 / 5"}},
        Case{"Day366OfCommonYear", kDoyTemps, kCelsius, {"1999 365 9 1", "1999 366 9 1"}, {}},
        Case{"Gap", kDoyTemps, kCelsius, {"2001 5 9 1", "2001 7 9 1", "2001 8 9 1"}, {"2001 / 7"}},
        Case{"Repeat", kDoyTemps, kCelsius, {"2001 5 9 1", "2001 5 9 1", "2001 6 9 1"}, {"2001 / 5"}},
        Case{"Backwards", kDoyTemps, kCelsius, {"2001 5 9 1", "2001 3 9 1", "2001 4 9 1"}, {"2001 / 3"}},
        Case{"DoyWithoutYearIsYearZero", {kDoy, kTmax, kTmin}, kCelsius, {"44 9 1", "45 9 1", "45 9 1"}, {"0 / 45"}},
        Case{"DoyZeroDatedByCalendar", {kYear, kMonth, kDay, kDoy}, {},
             {"1998 2 13 0", "1998 2 14 0", "1998 2 14 0", "1998 2 15 46"}, {"1998 / 45"}},
        Case{"FirstColumnZeroIsData", {kPrecip, kYear, kDoy}, {{kPrecip, "mm"}},
             {"1.5 2001 1", "0 2001 2", "-3 2001 3", "2 2001 5"}, {"2001 / 3", "2001 / 5"}}),
    caseName);

// One record on day 10 of 2001 after Year and DOY columns.
Case value(const char* name, Codes variables, Units units, const char* values, bool listed)
{
    variables.insert(variables.begin(), {kYear, kDoy});
    return {name, variables, units, {std::string("2001 10 ") + values}, listed ? Lines{"2001 / 10"} : Lines{}};
}

INSTANTIATE_TEST_SUITE_P(
    Values, CheckupLists,
    ::testing::Values(value("TmaxEqualsTmin", {kTmax, kTmin}, kCelsius, "12.5 12.5", true),
                      value("TemperaturesAtLimits", {kTmax, kTmin}, kCelsius, "60 -50", false),
                      value("TmaxAboveLimit", {kTmax, kTmin}, kCelsius, "60.1 10", true),
                      value("TminBelowLimit", {kTmax, kTmin}, kCelsius, "5 -50.1", true),
                      value("FahrenheitAtLimit", {kTmax, kTmin}, kFahrenheit, "140 50", false),
                      value("FahrenheitAboveLimit", {kTmax, kTmin}, kFahrenheit, "141 50", true),
                      value("SoilFollowsTmaxUnit", {kTmax, kTmin, kSoilT}, kFahrenheit, "80 50 140", false),
                      value("SoilAboveLimit", {kTmax, kTmin, kSoilT}, kCelsius, "30 20 61", true),
                      value("SolarZero", {kSolar}, {{kSolar, "MJ/m2/d"}}, "0", true),
                      value("SolarNegative", {kSolar}, {{kSolar, "MJ/m2/d"}}, "-5", true),
                      value("SolarWattsOverLimit", {kSolar}, {{kSolar, "W/m2"}}, "700", true),
                      value("SolarWattsUnderLimit", {kSolar}, {{kSolar, "W/m2"}}, "694", false),
                      value("RainInchesOverLimit", {kPrecip}, {{kPrecip, "inch"}}, "40", true),
                      value("HumidityAtLimits", {kRelHum, kRelHum}, {{kRelHum, "%"}}, "0 100", false),
                      value("HumidityOver", {kRelHum}, {{kRelHum, "%"}}, "100.5", true),
                      value("WindNegative", {kWndSpd}, {{kWndSpd, "km/hr"}}, "-1", true),
                      value("WindHasNoUpperLimit", {kWndSpd}, {{kWndSpd, "m/s"}}, "500", false),
                      value("EtCentimetresOver", {kEt}, {{kEt, "cm"}}, "10.1", true),
                      value("PanEvapNegative", {kPanEvap}, {{kPanEvap, "mm"}}, "-2", true),
                      value("SunHoursOver", {kSunHr}, {{kSunHr, "hr"}}, "24.5", true),
                      value("SunPercentNegative", {kSunHrPercent}, {{kSunHrPercent, "%"}}, "-1", true)),
    caseName);

class CheckupFailures : public ::testing::TestWithParam<Case> {};

TEST_P(CheckupFailures, EndWithErrorKeepingPartialReport)
{
    const Case& c = GetParam();
    CheckupFixture f(c.columns, c.units);
    // A repeat, listed before the failure; expected holds the message and that line.
    Lines rows = {"1999 1 1 1", "1999 1 1 1"};
    rows.insert(rows.end(), c.rows.begin(), c.rows.end());
    f.check(rows);

    EXPECT_TRUE(f.run.stopped());
    EXPECT_EQ(f.feedback.calls, (Lines{"sound: error", "error: " + c.expected.front()}));
    EXPECT_FALSE(f.run.outputPanel.has_value());
    EXPECT_EQ(f.listed(), Lines{c.expected.back()});
}

const Codes kCalendar = {kYear, kMonth, kDay, kIgnore};
const Codes kCalendarDoy = {kYear, kMonth, kDay, kDoy};

INSTANTIATE_TEST_SUITE_P(
    Messages, CheckupFailures,
    ::testing::Values(
        Case{"FebruaryTwentyNinthOfCommonYear", kCalendar, {}, {"1999 2 29 1"}, {kDataFormatProblem, "1999 / 1 / 1"}},
        Case{"TextToken", kCalendar, {}, {"1999 1 2 n/a"}, {kDataFormatProblem, "1999 / 1 / 1"}},
        Case{"DayZero", kCalendar, {}, {"1999 1 0 1"}, {kDateIncomplete, "1999 / 1 / 1"}},
        Case{"DoyAboveYear", kCalendarDoy, {}, {"1999 1 2 367"}, {kWrongDoy, "1999 / 1"}},
        Case{"DoyZeroNoCalendarDate", kCalendarDoy, {}, {"1999 0 1 0"}, {kDateIncomplete, "1999 / 1"}}),
    caseName);

TEST(Checkup, TemperatureUnitsMustMatchBeforeAnyFileIsOpened)
{
    for (const Units& units : {Units{{kTmax, "oC"}, {kTmin, "oF"}}, Units{{kTmin, "oC"}}}) {
        CheckupFixture f(kDoyTemps, units);
        f.check({"2001 1 5 9"});
        EXPECT_TRUE(f.run.stopped());
        EXPECT_EQ(f.feedback.calls, (Lines{"sound: error", std::string("error: ") + kTemperatureUnitsMustMatch}));
        EXPECT_FALSE(std::filesystem::exists(f.temp.path() / "Output.~"));
    }
}

struct Ending {
    int task;
    Lines rows;
    Lines calls;
    bool abort;
};

class CheckupEndings : public ::testing::TestWithParam<Ending> {};

TEST_P(CheckupEndings, TellTheUserAndStopWhenNeeded)
{
    const Ending& c = GetParam();
    CheckupFixture f(kDoyTemps, kCelsius, c.task);
    f.check(c.rows);
    EXPECT_EQ(f.feedback.calls, c.calls);
    EXPECT_EQ(f.run.stopped(), c.abort);
    const bool reported = c.calls.size() == 2 && c.calls[1].rfind("warning: ", 0) == 0;
    if (reported)
        EXPECT_EQ(f.run.outputPanel, std::string(kCheckupReportTitle) + "\n" + kCheckupReportEditHint + "\n\n"
                                         + kCheckupHeadingDoy + "\n\t2001 / 2");
    else
        EXPECT_FALSE(f.run.outputPanel.has_value());
}

const Lines kSuspicious = {"2001 1 9 1", "2001 2 1 9"};
const Lines kClean = {"2001 1 9 1", "2001 2 9 1"};
const std::string kInformation = std::string("information: ") + kNoSuspiciousData;

INSTANTIATE_TEST_SUITE_P(
    Tasks, CheckupEndings,
    ::testing::Values(Ending{3, kSuspicious, {"sound: error", std::string("warning: ") + kDataErrorsSpottedTask3}, true},
                      Ending{1, kSuspicious, {"sound: error", std::string("warning: ") + kDataErrorsSpotted}, true},
                      Ending{3, kClean, {"sound: exclamation", kInformation}, true},
                      Ending{3, {}, {"sound: exclamation", kInformation}, true},
                      Ending{1, kClean, {}, false}));

class CheckupGolden : public ::testing::TestWithParam<Case> {};

TEST_P(CheckupGolden, WritesReportByteForByte)
{
    const Case& c = GetParam();
    const auto data = std::filesystem::path(PLUVORA_TEST_DATA) / "screening";
    CheckupFixture f(c.columns, c.units);
    f.run.rowsBefore = 2;
    f.temp.write("Input.~", pluvora::test::readFile(data / (std::string(c.name) + "_input.txt")));
    dataCheckup(f.run);

    EXPECT_EQ(f.temp.read("Output.~"), pluvora::test::readFile(data / (std::string(c.name) + "_report.txt")));
    EXPECT_EQ(f.feedback.messages(), Lines{std::string("warning: ") + kDataErrorsSpottedTask3});
}

INSTANTIATE_TEST_SUITE_P(
    Reports, CheckupGolden,
    ::testing::Values(Case{"calendar",
                           {kYear, kMonth, kDay, kTmax, kTmin, kPrecip, kSolar},
                           {{kTmax, "oC"}, {kTmin, "oC"}, {kPrecip, "mm"}, {kSolar, "MJ/m2/d"}}, {}, {}},
                      Case{"doy",
                           {kYear, kDoy, kSolar, kTmax, kTmin, kPrecip},
                           {{kTmax, "oF"}, {kTmin, "oF"}, {kPrecip, "inch"}, {kSolar, "Langley"}}, {}, {}}),
    caseName);

} // namespace
