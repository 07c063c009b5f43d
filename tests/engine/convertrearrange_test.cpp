#include "engine/tasks/convertrearrange.h"

#include "engine/error.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace pluvora {
namespace {

const std::string kHead = "Year\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\r\n"
                          "\t\tMJ/m2\toC\toC\t%\tmm\tmm\r\n";

using Columns = std::vector<std::pair<int, std::string>>; // code, unit text

void prepare(RunContext& run, const test::TempFolder& temp, const std::string& input, int rowsBefore,
             const Columns& columns, int task = 1)
{
    temp.write("Input.~", input);
    run.task = task;
    run.rowsBefore = rowsBefore;
    run.columnCount = static_cast<int>(columns.size());
    run.columns.columnVariable.fill(kUnselected);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int code = columns[i].first;
        run.columns.columnVariable[i + 1] = code;
        if (isMeasured(code))
            run.columns.unitText[static_cast<std::size_t>(code)] = columns[i].second;
    }
}

struct GoldenCase {
    const char* name;
    std::string input;
    int rowsBefore;
    Columns columns;
    std::string expected;
};

class ConvertGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(ConvertGolden, WritesTheWeatherLayout)
{
    const auto& c = GetParam();
    test::TempFolder temp;
    AppFolder folder(temp.path());
    test::RecordingFeedback feedback;
    RunContext run(folder, feedback);
    prepare(run, temp, c.input, c.rowsBefore, c.columns);

    Convert_rearrange(run);

    EXPECT_FALSE(run.stopped());
    EXPECT_TRUE(feedback.calls.empty());
    EXPECT_EQ(temp.read("Output.~"), c.expected);
}

const Columns kYmdF{{kYear, ""}, {kMonth, ""}, {kDay, ""}, {kTmax, "oF"}, {kTmin, "oF"}};
const Columns kFull{{kYear, ""},      {kDoy, ""},        {kSolar, "MJ/m2/d"}, {kTmax, "oC"},
                    {kTmin, "oC"},    {kRelHum, "%"},    {kPrecip, "mm"},     {kEt, "mm"}};

INSTANTIATE_TEST_SUITE_P(
    Convert, ConvertGolden,
    ::testing::Values(
        GoldenCase{"FahrenheitAndCalendarDates",
                   "Station 1\r\n2001 3 1 50 32\r\n2000 3 1 51.8 14\r\n", 1, kYmdF,
                   "Station 1\r\n" + kHead + "2001\t60\t0.00\t10.0\t0.0\t0\t0.0\t0.0\r\n"
                       "2000\t61\t0.00\t11.0\t-10.0\t0\t0.0\t0.0\r\n"},
        GoldenCase{"FullRecordWithRounding",
                   "h1\r\nh2\r\n1998 45 12.345 8.35 -2.05 70.5 0 1.25\r\n"
                   "1998 46 0 -0.04 -0.05 71.5 0.04 0\r\n",
                   2, kFull,
                   "h1\r\nh2\r\n" + kHead + "1998\t45\t12.35\t8.4\t-2.1\t71\t0.0\t1.3\r\n"
                       "1998\t46\t0.00\t0.0\t-0.1\t72\t0.0\t0.0\r\n"},
        GoldenCase{"SolarInWattsPerSquareMetre", "1999 10 200\r\n", 0,
                   Columns{{kYear, ""}, {kDoy, ""}, {kSolar, "W/m2"}},
                   kHead + "1999\t10\t17.28\t0.0\t0.0\t0\t0.0\t0.0\r\n"},
        GoldenCase{"SolarInLangleys", "1999 10 300\r\n", 0,
                   Columns{{kYear, ""}, {kDoy, ""}, {kSolar, "Langley"}},
                   kHead + "1999\t10\t12.56\t0.0\t0.0\t0\t0.0\t0.0\r\n"},
        GoldenCase{"RainInInchesAndEtInCentimetres", "1999 10 0.5 1.25\r\n", 0,
                   Columns{{kYear, ""}, {kDoy, ""}, {kPrecip, "inch"}, {kEt, "cm"}},
                   kHead + "1999\t10\t0.00\t0.0\t0.0\t0\t12.7\t12.5\r\n"},
        GoldenCase{"DoyZeroFallsBackToTheDate", "2001 3 1 0\r\n2001 3 1 45\r\n", 0,
                   Columns{{kYear, ""}, {kMonth, ""}, {kDay, ""}, {kDoy, ""}},
                   kHead + "2001\t60\t0.00\t0.0\t0.0\t0\t0.0\t0.0\r\n"
                           "2001\t45\t0.00\t0.0\t0.0\t0\t0.0\t0.0\r\n"},
        GoldenCase{"YydoyDates", "98045 1 0\r\n5123 2 0\r\n", 0,
                   Columns{{kYydoy, ""}, {kTmax, "oC"}, {kTmin, "oC"}},
                   kHead + "1998\t45\t0.00\t1.0\t0.0\t0\t0.0\t0.0\r\n"
                           "2005\t123\t0.00\t2.0\t0.0\t0\t0.0\t0.0\r\n"},
        // A real 0 in the first column is data, not the end of the file.
        GoldenCase{"FirstColumnZeroIsConverted", "0 -3 1998 45\r\n21.5 0 1998 46\r\n", 0,
                   Columns{{kTmax, "oC"}, {kTmin, "oC"}, {kYear, ""}, {kDoy, ""}},
                   kHead + "1998\t45\t0.00\t0.0\t-3.0\t0\t0.0\t0.0\r\n"
                           "1998\t46\t0.00\t21.5\t0.0\t0\t0.0\t0.0\r\n"},
        GoldenCase{"IgnoredAndUnselectedColumnsAndTrailingText",
                   "x\r\n7 1998 99 45 3.3 junk\r\n", 1,
                   Columns{{kIgnore, ""}, {kYear, ""}, {kUnselected, ""}, {kDoy, ""}, {kPrecip, "mm"}},
                   "x\r\n" + kHead + "1998\t45\t0.00\t0.0\t0.0\t0\t3.3\t0.0\r\n"},
        // Without a T-max unit there is no temperature, even with a column.
        GoldenCase{"NoTemperatureUnitWritesZero", "1998 45 30 20\r\n", 0,
                   Columns{{kYear, ""}, {kDoy, ""}, {kTmax, ""}, {kTmin, ""}},
                   kHead + "1998\t45\t0.00\t0.0\t0.0\t0\t0.0\t0.0\r\n"}),
    [](const auto& param) { return std::string(param.param.name); });

class Convert : public ::testing::Test {
protected:
    test::TempFolder temp;
    AppFolder folder{temp.path()};
    test::RecordingFeedback feedback;
    RunContext run{folder, feedback};

    std::vector<std::string> failureCalls(const char* text) const
    {
        return {"sound: error", std::string("error: ") + text};
    }
};

TEST_F(Convert, DifferentTemperatureUnitsStopBeforeWriting)
{
    prepare(run, temp, "1998 45 50 10\r\n", 0, {{kYear, ""}, {kDoy, ""}, {kTmax, "oF"}, {kTmin, "oC"}});
    Convert_rearrange(run);
    EXPECT_TRUE(run.stopped());
    EXPECT_EQ(feedback.calls, failureCalls(kTemperatureUnitsDiffer));
    EXPECT_FALSE(folder.exists("Output.~"));
}

TEST_F(Convert, MissingDateStopsAndKeepsTheRowsWritten)
{
    prepare(run, temp, "1998 45 1 0\r\n1998 0 2 0\r\n1998 47 3 0\r\n", 0,
            {{kYear, ""}, {kDoy, ""}, {kTmax, "oC"}, {kTmin, "oC"}});
    Convert_rearrange(run);
    EXPECT_TRUE(run.stopped());
    EXPECT_EQ(feedback.calls, failureCalls(kDateIsMissing));
    EXPECT_EQ(temp.read("Output.~"), kHead + "1998\t45\t0.00\t1.0\t0.0\t0\t0.0\t0.0\r\n");
    EXPECT_EQ(feedback.ticks, 1);
}

TEST_F(Convert, HeaderRowsWithoutDataReportAMissingDate)
{
    prepare(run, temp, "h1\r\nh2\r\n", 2, {{kYear, ""}, {kDoy, ""}});
    Convert_rearrange(run);
    EXPECT_TRUE(run.stopped());
    EXPECT_EQ(feedback.calls, failureCalls(kDateIsMissing));
    EXPECT_EQ(temp.read("Output.~"), "h1\r\nh2\r\n" + kHead);
}

TEST_F(Convert, ImpossibleCalendarDateEndsTheRun)
{
    prepare(run, temp, "2001 2 30\r\n", 0, {{kYear, ""}, {kMonth, ""}, {kDay, ""}});
    EXPECT_THROW(Convert_rearrange(run), Error);
}

TEST_F(Convert, NonNumericTokenEndsTheRunWithTheReaderMessage)
{
    prepare(run, temp, "1998 45 1-2\r\n", 0, {{kYear, ""}, {kDoy, ""}, {kTmax, "oC"}, {kTmin, "oC"}});
    try {
        Convert_rearrange(run);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), kInvalidNumericInput);
    }
}

TEST_F(Convert, GaugeTicksOncePerRecord)
{
    prepare(run, temp, "1998 1\r\n1998 2\r\n1998 3\r\n", 0, {{kYear, ""}, {kDoy, ""}});
    Convert_rearrange(run);
    EXPECT_EQ(feedback.ticks, 3);
}

// Tasks 4 to 7 hand in one estimate per record; a short estimate file
// gives 0 for the records it does not cover.
struct EstimateCase {
    int task;
    int code;
    const char* unit;
    std::string expected;
};

class ConvertEstimates : public ::testing::TestWithParam<EstimateCase> {};

TEST_P(ConvertEstimates, TakeTheEstimateOfEachRecord)
{
    const auto& c = GetParam();
    test::TempFolder temp;
    AppFolder folder(temp.path());
    test::RecordingFeedback feedback;
    RunContext run(folder, feedback);
    prepare(run, temp, "Estimated\r\n1998 45 99\r\n1998 46 99\r\n1998 47 99\r\n", 1,
            {{kYear, ""}, {kDoy, ""}, {c.code, c.unit}}, c.task);
    temp.write("Out.~", "12.345 extra\r\n7\r\n");

    Convert_rearrange(run);

    EXPECT_FALSE(run.stopped());
    EXPECT_EQ(temp.read("Output.~"), "Estimated\r\n" + kHead + c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Convert, ConvertEstimates,
    ::testing::Values(EstimateCase{4, kSolar, "MJ/m2/d",
                                   "1998\t45\t12.35\t0.0\t0.0\t0\t0.0\t0.0\r\n"
                                   "1998\t46\t7.00\t0.0\t0.0\t0\t0.0\t0.0\r\n"
                                   "1998\t47\t0.00\t0.0\t0.0\t0\t0.0\t0.0\r\n"},
                      EstimateCase{6, kEt, "mm",
                                   "1998\t45\t0.00\t0.0\t0.0\t0\t0.0\t12.3\r\n"
                                   "1998\t46\t0.00\t0.0\t0.0\t0\t0.0\t7.0\r\n"
                                   "1998\t47\t0.00\t0.0\t0.0\t0\t0.0\t0.0\r\n"}));

} // namespace
} // namespace pluvora
