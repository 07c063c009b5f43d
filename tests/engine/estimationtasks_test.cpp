#include "engine/appfolder/appfolder.h"
#include "engine/error.h"
#include "engine/methods/solargeometry.h"
#include "engine/provenance/runprovenance.h"
#include "engine/run/processingrun.h"
#include "engine/tasks/datacheckup.h"
#include "engine/tasks/estimatesolarfromsunshinehr.h"
#include "engine/tasks/estimatesolarfromtemp.h"
#include "engine/tasks/estimationframe.h"
#include "engine/tasks/etbypm.h"
#include "engine/tasks/etfromevap.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

using namespace pluvora;
using namespace pluvora::test;

namespace {

using Columns = std::vector<std::pair<int, std::string>>;

const Columns kTemperatureC{{kYear, ""}, {kDoy, ""}, {kTmax, "oC"}, {kTmin, "oC"}};
const Columns kSunshineHours{{kYear, ""}, {kDoy, ""}, {kSunHr, "hr"}};
const Columns kPanMetric{{kYear, ""}, {kDoy, ""}, {kPanEvap, "mm"}, {kWndSpd, "m/s"}, {kRelHum, "%"}};
const Columns kPenmanMetric{{kYear, ""}, {kDoy, ""}, {kSolar, "MJ/m2/d"}, {kTmax, "oC"},
                            {kTmin, "oC"}, {kRelHum, "%"}, {kWndSpd, "m/s"}};

TaskPageInput pages(std::string latitude = "40")
{
    TaskPageInput p;
    p.latitudeTask4 = p.latitudeTask5 = p.latitudeTask7 = std::move(latitude);
    p.elevationTask7 = "300";
    return p;
}

struct EstimationRun {
    TempFolder dir;
    AppFolder folder{dir.path()};
    RecordingFeedback ui;
    RunRequest request;
    std::string input;

    RunOutcome run(int task, const Columns& columns, const TaskPageInput& page, std::string text,
                   int rows = 1, bool rearrange = false)
    {
        request.fileName = "in.txt";
        request.rowsBeforeText = std::to_string(rows);
        request.taskIndex = task - 1;
        request.rearrange = rearrange;
        // Substitution rewrites every data row; off, the rows show as typed.
        request.substitutionEnabled = false;
        request.pages = page;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            request.layout.setColumn(static_cast<int>(i) + 1, columns[i].first,
                                     unitIndex(columns[i].first, columns[i].second));
        }
        input = std::move(text);
        request.inputText = input;
        return runProcessing(request, folder, ui);
    }
};

struct Worked {
    const char* name;
    int task;
    Columns columns;
    TaskPageInput page;
    const char* data;     // below the header row "h"
    std::string expected; // the output panel
};

struct WorkedExamples : ::testing::TestWithParam<Worked> {};
void PrintTo(const Worked& c, std::ostream* os) { *os << c.name; }

TaskPageInput pan(int choice, std::string fetch = "1000")
{
    TaskPageInput p = pages();
    p.panChoiceTask6 = choice;
    p.fetchTask6 = std::move(fetch);
    return p;
}

TaskPageInput region(int index)
{
    TaskPageInput p = pages();
    p.regionTask4 = index;
    p.climateZoneTask5 = index;
    return p;
}

const std::string kPanClassAGreen = std::string(kPanTitle) + "green fetch with 1000 m.h\n";

} // namespace

// Descriptions letter for letter and estimates checked by hand (FAO-56
// worked examples for tasks 6 and 7).
TEST_P(WorkedExamples, GiveTheHandCheckedOutput)
{
    const Worked& c = GetParam();
    EstimationRun r;
    const auto outcome = r.run(c.task, c.columns, c.page, std::string("h\n") + c.data);
    ASSERT_TRUE(outcome.completed) << ::testing::PrintToString(r.ui.calls);
    EXPECT_EQ(outcome.finishing, Finishing::None);
    EXPECT_EQ(outcome.outputPanel.value_or(""), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tasks, WorkedExamples,
    ::testing::Values(
        Worked{"MahmoodHubbard", 4, kTemperatureC, pages(), "2001 182 30 15\n2001 183 30 29.9\n",
               std::string(kSolarFromTempMHDescription) + "h\n2001 182 30 15\t24.38\n2001 183 30 29.9\t0.01"},
        Worked{"FaoContinental", 4, kTemperatureC, region(1), "2001 182 30 15\n",
               std::string(kSolarFromTempFAODescription) + "h\n2001 182 30 15\t25.82"},
        Worked{"FaoCoastal", 4, kTemperatureC, region(2), "2001 182 30 15\n",
               std::string(kSolarFromTempFAODescription) + "h\n2001 182 30 15\t30.66"},
        Worked{"SunshineHoursColdTemperate", 5, kSunshineHours, pages(), "2001 182 10\n",
               "Solar radiation (last column, MJ/m2/d) estimated from sun shine hours  for cold / temperate "
               "regions. h\n2001 182 10\t22.99"},
        Worked{"SunshineHoursWinOverPercentDryTropical", 5,
               {{kYear, ""}, {kDoy, ""}, {kSunHrPercent, "%"}, {kSunHr, "hr"}}, region(1), "2001 182 50 10\n",
               "Solar radiation (last column, MJ/m2/d) estimated from sun shine hours  for dry tropical "
               "regions. h\n2001 182 50 10\t23.09"},
        Worked{"SunshinePercentHumidTropical", 5, {{kYear, ""}, {kDoy, ""}, {kSunHrPercent, "%"}}, region(2),
               "2001 182 50\n",
               "Solar radiation (last column, MJ/m2/d) estimated from sun shine %  for humid tropical "
               "regions. h\n2001 182 50\t20.83"},
        Worked{"PanClassAGreen", 6, kPanMetric, pan(0), "2001 1 8 2 60\n", kPanClassAGreen + "2001 1 8 2 60\t6.4"},
        Worked{"PanClassADry", 6, kPanMetric, pan(1), "2001 1 8 2 60\n",
               std::string(kPanTitle) + "dry fetch with 1000 m.h\n2001 1 8 2 60\t4.6"},
        Worked{"PanColoradoGreen", 6, kPanMetric, pan(2), "2001 1 8 2 60\n",
               std::string(kPanTitle) + "green fetch with 1000 m.h\n2001 1 8 2 60\t7.8"},
        Worked{"PanColoradoDry", 6, kPanMetric, pan(3), "2001 1 8 2 60\n",
               std::string(kPanTitle) + "dry fetch with 1000 m.h\n2001 1 8 2 60\t5.4"},
        Worked{"PanUnknownIgnoresTheFetch", 6, kPanMetric, pan(4, "12"), "2001 1 8 2 60\n",
               std::string(kPanTitle) + "with unknown pan type.h\n2001 1 8 2 60\t6.1"},
        Worked{"PanEmptyFetchIs500", 6, kPanMetric, pan(0, ""), "2001 1 8 2 60\n",
               std::string(kPanTitle) + "green fetch with  m.h\n2001 1 8 2 60\t6.4"},
        Worked{"PanFetchAsTyped", 6, kPanMetric, pan(0, " +1000"), "2001 1 8 2 60\n",
               std::string(kPanTitle) + "green fetch with  +1000 m.h\n2001 1 8 2 60\t6.4"},
        // A record starting with 0 is a record: its own calm, dry day.
        Worked{"PanRecordStartingWithZero", 6,
               {{kRelHum, "%"}, {kWndSpd, "m/s"}, {kPanEvap, "mm"}, {kYear, ""}, {kDoy, ""}}, pan(0),
               "60 2 8 2001 1\n0 0 8 2001 2\n",
               kPanClassAGreen + "60 2 8 2001 1\t6.4\n0 0 8 2001 2\t-3.1"},
        Worked{"PenmanMonteith", 7, kPenmanMetric, pages("35"), "2001 180 25 32 18 55 3\n",
               std::string(kPenmanTitle) + "h\n2001 180 25 32 18 55 3\t8.6"}),
    [](const auto& param) { return std::string(param.param.name); });

namespace {

struct Twin {
    const char* name;
    int task;
    Columns metric;
    const char* metricRow;
    Columns other;
    const char* otherRow;
};

struct UnitTwins : ::testing::TestWithParam<Twin> {};
void PrintTo(const Twin& c, std::ostream* os) { *os << c.name; }

std::string lastField(const std::string& panel) { return panel.substr(panel.rfind('\t') + 1); }

} // namespace

TEST_P(UnitTwins, GiveTheSameEstimateAsTheirMetricTwin)
{
    const Twin& c = GetParam();
    EstimationRun metric;
    EstimationRun other;
    const auto a = metric.run(c.task, c.metric, pages("35"), std::string("h\n") + c.metricRow + "\n");
    const auto b = other.run(c.task, c.other, pages("35"), std::string("h\n") + c.otherRow + "\n");
    ASSERT_TRUE(a.completed && b.completed) << ::testing::PrintToString(other.ui.calls);
    EXPECT_EQ(lastField(*b.outputPanel), lastField(*a.outputPanel));
}

INSTANTIATE_TEST_SUITE_P(
    Tasks, UnitTwins,
    ::testing::Values(
        Twin{"Fahrenheit", 4, kTemperatureC, "2001 182 30 15",
             {{kYear, ""}, {kDoy, ""}, {kTmax, "oF"}, {kTmin, "oF"}}, "2001 182 86 59"},
        Twin{"WindInKmPerHour", 6, kPanMetric, "2001 1 8 2 60",
             {{kYear, ""}, {kDoy, ""}, {kPanEvap, "mm"}, {kWndSpd, "km/hr"}, {kRelHum, "%"}}, "2001 1 8 7.2 60"},
        Twin{"PanInCm", 6, kPanMetric, "2001 1 8 2 60",
             {{kYear, ""}, {kDoy, ""}, {kPanEvap, "cm"}, {kWndSpd, "m/s"}, {kRelHum, "%"}}, "2001 1 0.8 2 60"},
        Twin{"PanInInch", 6, kPanMetric, "2001 1 12.7 2 60",
             {{kYear, ""}, {kDoy, ""}, {kPanEvap, "inch"}, {kWndSpd, "m/s"}, {kRelHum, "%"}}, "2001 1 0.5 2 60"},
        Twin{"FahrenheitPenman", 7, kPenmanMetric, "2001 180 25 32 18 55 3",
             {{kYear, ""}, {kDoy, ""}, {kSolar, "MJ/m2/d"}, {kTmax, "oF"}, {kTmin, "oF"}, {kRelHum, "%"},
              {kWndSpd, "m/s"}},
             "2001 180 25 89.6 64.4 55 3"},
        Twin{"WattsAndMilesPerHour", 7, kPenmanMetric, "2001 180 21.6 32 18 55 1.609",
             {{kYear, ""}, {kDoy, ""}, {kSolar, "W/m2"}, {kTmax, "oC"}, {kTmin, "oC"}, {kRelHum, "%"},
              {kWndSpd, "mile/hr"}},
             "2001 180 250 32 18 55 3.6"}),
    [](const auto& param) { return std::string(param.param.name); });

// The description heads the output whatever the header: a row of its own
// when there is none, the start of the first header row otherwise.
TEST(EstimationHeader, RowsBeforeDataZeroAndThree)
{
    for (int task : {4, 5, 6, 7}) {
        const Columns& columns = task == 4 ? kTemperatureC
            : task == 5                    ? kSunshineHours
            : task == 6                    ? kPanMetric
                                           : kPenmanMetric;
        const char* row = task == 4 ? "2001 180 30 15"
            : task == 5             ? "2001 180 10"
            : task == 6             ? "2001 180 8 2 60"
                                    : "2001 180 25 32 18 55 3";
        EstimationRun none;
        const auto zero = none.run(task, columns, pages("35"), std::string(row) + "\n", 0);
        ASSERT_TRUE(zero.completed) << task << ::testing::PrintToString(none.ui.calls);
        EXPECT_EQ(zero.rowsBefore, 1);
        const std::string& panel = *zero.outputPanel;
        const std::string first = panel.substr(0, panel.find('\n'));
        EXPECT_EQ(panel.substr(first.size() + 1, panel.rfind('\t') - first.size() - 1), row);

        EstimationRun three;
        const auto titled = three.run(task, columns, pages("35"), std::string("h1\nh2\nh3\n") + row + "\n", 3);
        ASSERT_TRUE(titled.completed) << task;
        EXPECT_EQ(titled.rowsBefore, 3);
        EXPECT_EQ(*titled.outputPanel, first + "h1\nh2\nh3\n" + row + "\t" + lastField(panel));
    }
}

TEST(EstimationRearranged, SolarAndEtLandInTheWeatherFileColumns)
{
    EstimationRun solar;
    const auto a = solar.run(4, kTemperatureC, pages(), "h1\nh2\n2001 182 30 15\n", 2, true);
    ASSERT_TRUE(a.completed) << ::testing::PrintToString(solar.ui.calls);
    EXPECT_EQ(a.finishing, Finishing::LatitudeLine);
    EXPECT_EQ(a.latitudeLine, "40  (Lat.)");
    EXPECT_EQ(a.rowsBefore, 2);
    EXPECT_EQ(*a.outputPanel, std::string(kSolarFromTempMHRearranged)
                                  + "h1\nh2\nYear\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\n"
                                    "\t\tMJ/m2\toC\toC\t%\tmm\tmm\n2001\t182\t24.38\t30.0\t15.0\t0\t0.0\t0.0");

    EstimationRun et;
    const auto b = et.run(6, kPanMetric, pan(0), "2001 1 8 2 60\n", 0, true);
    ASSERT_TRUE(b.completed) << ::testing::PrintToString(et.ui.calls);
    EXPECT_EQ(b.finishing, Finishing::SiteCoordinate);
    EXPECT_EQ(b.rowsBefore, 1);
    EXPECT_EQ(*b.outputPanel, std::string(kPanTitleRearranged)
                                  + "green fetch with 1000 m.\nYear\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\n"
                                    "\t\tMJ/m2\toC\toC\t%\tmm\tmm\n2001\t1\t0.00\t0.0\t0.0\t60\t0.0\t6.4");

    EstimationRun penman;
    const auto c = penman.run(7, kPenmanMetric, pages("35"), "h\n2001 180 25 32 18 55 3\n", 1, true);
    ASSERT_TRUE(c.completed);
    EXPECT_EQ(c.finishing, Finishing::LatitudeLine);
    EXPECT_EQ(c.latitudeLine, "35  (Lat.)");
    EXPECT_EQ(c.outputPanel->substr(c.outputPanel->rfind('\n') + 1), "2001\t180\t25.00\t32.0\t18.0\t55\t0.0\t8.6");
}

namespace {

struct Refusal {
    const char* name;
    int task;
    Columns columns;
    TaskPageInput page;
    const char* data; // below the header row "h"
    std::vector<std::string> messages;
};

struct Refusals : ::testing::TestWithParam<Refusal> {};
void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }

TaskPageInput withPage(TaskPageInput p, std::string TaskPageInput::*box, std::string text)
{
    p.*box = std::move(text);
    return p;
}

std::string error(const std::string& text) { return "error: " + text; }

} // namespace

// Nothing that could pass for a result: the output panel is left empty.
TEST_P(Refusals, StopTheRunWithTheirMessage)
{
    const Refusal& c = GetParam();
    EstimationRun r;
    const auto outcome = r.run(c.task, c.columns, c.page, std::string("h\n") + c.data);
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(r.ui.messages(), c.messages);
    EXPECT_EQ(outcome.outputPanel.value_or("?"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Tasks, Refusals,
    ::testing::Values(
        Refusal{"PolarNight", 4, kTemperatureC, pages("80"), "2001 354 -20 -30\n2001 355 -20 -30\n",
                {error(noValueReport(2, 2001, 354, methods::NoValueReason::NoSunriseOrSunset))}},
        Refusal{"PolarDayBySunshine", 5, kSunshineHours, pages("-75"), "2001 10 12\n",
                {error(noValueReport(2, 2001, 10, methods::NoValueReason::NoSunriseOrSunset))}},
        Refusal{"ElevationBeyondThePressureFormula", 7, kPenmanMetric,
                withPage(pages("35"), &TaskPageInput::elevationTask7, "46000"), "2001 180 25 32 18 55 3\n",
                {error(noValueReport(2, 2001, 180, methods::NoValueReason::ElevationTooHigh))}},
        Refusal{"TemperatureTaskWithoutTemperatures", 4, {{kYear, ""}, {kDoy, ""}, {kPrecip, "mm"}}, pages(), "2001 1 5\n",
                {error(kRequiredDataMissing)}},
        Refusal{"PenmanWithoutWind", 7, {{kYear, ""}, {kDoy, ""}, {kSolar, "MJ/m2/d"}, {kTmax, "oC"}, {kTmin, "oC"}, {kRelHum, "%"}},
                pages(""), "2001 1 5 10 2 50\n", {error(kRequiredDataMissing)}},
        Refusal{"PanWithoutHumidity", 6, {{kYear, ""}, {kDoy, ""}, {kPanEvap, "mm"}, {kWndSpd, "m/s"}}, pan(0),
                "2001 1 8 2\n", {error(kRequiredDataMissing)}},
        Refusal{"MidWestSouthOfTheEquator", 4, kTemperatureC, pages("-10"), "2001 1 30 15\n",
                {std::string("plain: ") + kPositiveLatitudeNeeded}},
        Refusal{"NoSunshineColumn", 5, kTemperatureC, pages(), "2001 1 30 15\n", {error(kNoSunshineData)}},
        Refusal{"PolarNightWithoutYear", 4, {{kDoy, ""}, {kTmax, "oC"}, {kTmin, "oC"}}, pages("80"), "354 -20 -30\n",
                {"error: No value can be estimated for input line 2, day of year 354: the sun does not rise or set "
                 "on this day at the given latitude. Check the latitude and the dates."}},
        // A result with a title and no estimate would pass for a finished run.
        Refusal{"TemperatureTaskWithoutDataRows", 4, kTemperatureC, pages(), "", {error(kDateIsMissing)}},
        Refusal{"PanWithoutDataRows", 6, kPanMetric, pan(0), "", {error(kDateIsMissing)}},
        Refusal{"PenmanWithoutElevation", 7, kPenmanMetric,
                withPage(pages("35"), &TaskPageInput::elevationTask7, ""), "2001 180 25 32 18 55 3\n",
                {error(kLatitudeOrAltitudeMissing)}}),
    [](const auto& param) { return std::string(param.param.name); });

// A missing column is told from the layout: the row far down that every
// pass over the rows would stop on is never reached.
TEST(EstimationRefusals, MissingColumnStopsBeforeAnyRowIsRead)
{
    struct Case {
        int task;
        Columns columns;
        TaskPageInput page;
        std::string message;
        std::optional<int> missing;
    };
    const std::vector<Case> cases{
        {4, {{kYear, ""}, {kDoy, ""}, {kTmax, "oC"}, {kPrecip, "mm"}}, pages(), kRequiredDataMissing, kTmin},
        {5, kTemperatureC, pages(), kNoSunshineData, std::nullopt},
        {6, {{kYear, ""}, {kDoy, ""}, {kRelHum, "%"}, {kWndSpd, "m/s"}}, pan(0), kRequiredDataMissing, kPanEvap},
        {7, {{kYear, ""}, {kDoy, ""}, {kSolar, "MJ/m2/d"}, {kTmax, "oC"}, {kTmin, "oC"}, {kWndSpd, "m/s"}}, pages(),
         kRequiredDataMissing, kRelHum},
    };
    std::string data = "h\n";
    for (int day = 1; day <= 3000; ++day)
        data += "2001 " + std::to_string(day % 365 + 1) + " 25 12\n";
    data += "2001 12 x-1\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.task);
        EstimationRun r;
        const auto outcome = r.run(c.task, c.columns, c.page, data);
        EXPECT_FALSE(outcome.completed);
        EXPECT_EQ(r.ui.messages(), std::vector<std::string>{error(c.message)});
        EXPECT_EQ(outcome.missingVariable, c.missing);
        EXPECT_EQ(outcome.outputPanel.value_or("?"), "");
    }
}

// The estimates are made in the checkup's pass, but the checkup speaks
// first: a day listed below one without an estimate stops the run with the
// checkup's warning, and the days before it keep no estimate.
TEST(EstimationRefusals, CheckupStopsBeforeAnEarlierDayWithoutEstimate)
{
    EstimationRun r;
    RunProvenance provenance;
    r.request.provenance = &provenance;
    // At 80 N the sun rises and sets on day 250; by day 300 it no longer rises.
    std::string data = "h\n";
    for (int day = 250; day <= 300; ++day)
        data += "2001 " + std::to_string(day) + " 5 -5\n";
    data += "2001 301 -40 -30\n";
    const auto outcome = r.run(4, kTemperatureC, pages("80"), data);
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(r.ui.messages(), std::vector<std::string>{std::string("warning: ") + kDataErrorsSpotted});
    ASSERT_EQ(provenance.dayCount(), 52u);
    ASSERT_TRUE(provenance.series().back().estimated);
    EXPECT_TRUE(std::isnan(provenance.value(provenance.series().size() - 1, 0)));
}

// A box that does not hold a number stops the run before any working file
// is written, with the message naming the text.
TEST(EstimationRefusals, BadTextsStopBeforeAnyWorkingFile)
{
    struct BadText {
        int task;
        TaskPageInput page;
        std::string message;
    };
    const std::vector<BadText> cases{
        {4, pages("4O"), notAFloatMessage("4O")},
        {5, pages("-90.5"), latitudeOutOfRangeMessage("-90.5")},
        {7, withPage(pages("35"), &TaskPageInput::elevationTask7, "300 m"), notAFloatMessage("300 m")},
        {6, pan(0, "1000.5"), notAnIntegerMessage("1000.5")},
    };
    for (const BadText& c : cases) {
        EstimationRun r;
        try {
            r.run(c.task, kPenmanMetric, c.page, "h\n2001 180 25 32 18 55 3\n");
            ADD_FAILURE() << "no error for task " << c.task;
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), c.message);
        }
        EXPECT_FALSE(r.folder.exists("Input.~")) << c.task;
    }
}

namespace {

// A latitude text at which the sun only touches the horizon at noon on day
// J, so the day has no length. Searched for rather than written down: it
// hangs on the last bit of tan.
std::optional<std::pair<int, std::string>> horizonOnlyDay()
{
    for (int J = 330; J <= 366; ++J) {
        const double delta = 0.409 * std::sin(0.01721420632103996 * J - 1.39);
        const double degrees = -std::atan(1.0 / std::tan(delta)) * 180.0 / std::numbers::pi;
        for (int k = -2000; k <= 2000; ++k) {
            char text[32];
            std::snprintf(text, sizeof text, "%.13f", degrees + k * 1e-13);
            const auto day = methods::clearDay(J, latitudeFromBox(text), 0.0, 0.0);
            if (day && day.value.N == 0.0)
                return std::pair{J, std::string(text)};
        }
    }
    return std::nullopt;
}

} // namespace

// Such a day has no radiation to estimate from: tasks 4 and 5 must not
// write their floor for it, nor task 7 a value from a made-up Rso.
TEST(EstimationRefusals, DayOfNoLengthHasNoValue)
{
    const auto day = horizonOnlyDay();
    if (!day)
        GTEST_SKIP() << "no latitude gives a day of exactly no length with this tan";
    const auto [J, latitude] = *day;
    const std::string doy = std::to_string(J);
    struct Case {
        int task;
        Columns columns;
        std::string row;
    };
    const std::vector<Case> cases{
        {4, kTemperatureC, "2001 " + doy + " -10 -20"},
        {5, {{kYear, ""}, {kDoy, ""}, {kSunHrPercent, "%"}}, "2001 " + doy + " 0"},
        {7, kPenmanMetric, "2001 " + doy + " 0.5 -10 -20 80 2"},
    };
    for (const Case& c : cases) {
        EstimationRun r;
        const auto outcome = r.run(c.task, c.columns, pages(latitude), "h\n" + c.row + "\n");
        EXPECT_FALSE(outcome.completed) << c.task;
        EXPECT_EQ(r.ui.messages(),
                  std::vector<std::string>{error(noValueReport(2, 2001, J, methods::NoValueReason::NoSunriseOrSunset))})
            << c.task;
        EXPECT_EQ(outcome.outputPanel.value_or("?"), "") << c.task;
    }
}
