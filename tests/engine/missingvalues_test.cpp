#include "engine/appfolder/appfolder.h"
#include "engine/error.h"
#include "engine/stage/runcontext.h"
#include "engine/tasks/missingvalues.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace pluvora;
using pluvora::test::RecordingFeedback;
using pluvora::test::TempFolder;

namespace {

struct MissingValuesFixture {
    TempFolder temp;
    AppFolder folder{temp.path()};
    RecordingFeedback feedback;
    RunContext run{folder, feedback};

    explicit MissingValuesFixture(std::string_view input, int columnCount = 5)
    {
        run.rowsBefore = 1;
        run.columnCount = columnCount;
        temp.write("Input.~", input);
    }
    bool exists(std::string_view name) const { return std::filesystem::exists(temp.path() / name); }
};

using Pair = std::pair<const char*, const char*>;
class Substitution : public ::testing::TestWithParam<Pair> {};

TEST_P(Substitution, WritesEachValueRoundedOrSubstituted)
{
    MissingValuesFixture f(std::string("Head\r\n2010 ") + GetParam().first + "\r\n");
    valueSubstitution(f.run, -99, "0.01");
    EXPECT_EQ(f.temp.read("Input.~"), std::string("Head\r\n2010\t") + GetParam().second + "\t\r\n");
}

INSTANTIATE_TEST_SUITE_P(Tokens, Substitution,
                         ::testing::Values(Pair{"-99.4", "0.01"}, Pair{"-98.6", "0.01"},
                                           Pair{"-99.5", "-99.500"}, Pair{"-98.5", "-98.500"},
                                           Pair{"12.00004", "12"}, Pair{"-0.00003", "0"},
                                           Pair{"12.0002", "12.000"}, Pair{"7", "7"},
                                           Pair{"123456789012345678901234567890", "123456789012346000000000000000"}));

TEST(SubstitutionFile, RewritesEveryTokenOfEveryRowAndKeepsHeaders)
{
    MissingValuesFixture f("Station: Mead, NE\r\nyear doy rain tmax tmin\r\n"
                           "2010 152 -99 25.5 12\r\n"
                           "2010\t153\t3.25\t  -99   14 1.5 2\r\n");
    f.run.rowsBefore = 2;
    valueSubstitution(f.run, -99, "NA");
    EXPECT_EQ(f.temp.read("Input.~"), "Station: Mead, NE\r\nyear doy rain tmax tmin\r\n"
                                      "2010\t152\tNA\t25.500\t12\t\r\n"
                                      "2010\t153\t3.250\tNA\t14\t1.500\t2\t\r\n");
    EXPECT_FALSE(f.exists("Output.~"));
}

TEST(SubstitutionFile, StopsOnTextWithoutTouchingInput)
{
    const std::string original = "Head\r\n2010 152 1\r\n2010 153 n/a\r\n";
    MissingValuesFixture f(original);
    try {
        valueSubstitution(f.run, -99, "0.01");
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), kInvalidNumericInput);
    }
    EXPECT_EQ(f.temp.read("Input.~"), original);
}

struct CheckCase {
    const char* name;
    int columnCount;
    const char* row;
    bool reported;
};

class MissingCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(MissingCheck, ReportsRowsShortOfColumnCount)
{
    const CheckCase& c = GetParam();
    MissingValuesFixture f(std::string("Head\r\n2010 151 1 2 3\r\n") + c.row + "\r\n2010 153 1 2 3\r\n",
                           c.columnCount);
    checkForMissingValues(f.run);

    EXPECT_EQ(f.run.stopped(), c.reported);
    EXPECT_EQ(f.exists("Input.~"), !c.reported);
    EXPECT_FALSE(f.exists("Out.~"));
    EXPECT_FALSE(f.exists("Report.~"));
    if (c.reported) {
        EXPECT_EQ(f.run.outputPanel, std::string(kMissingValuesReportHeading) + "\n\n" + c.row);
        EXPECT_EQ(f.feedback.calls,
                  (std::vector<std::string>{"sound: error", std::string("error: ") + kMissingValuesFound}));
    } else {
        EXPECT_FALSE(f.run.outputPanel.has_value());
        EXPECT_TRUE(f.feedback.calls.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MissingCheck,
    ::testing::Values(CheckCase{"FourOfFive", 5, "2010 152 1 2", true},
                      CheckCase{"SixOfFive", 5, "2010 152 1 2 3 4", false},
                      CheckCase{"SecondIsMarker", 5, "2010 -9999 1 2 3", true},
                      CheckCase{"FifthIsMarker", 5, "2010 152 1 2 -9999", true},
                      CheckCase{"FirstIsMarker", 5, "-9999 152 1 2 3", false},
                      CheckCase{"EmptyTabField", 5, "2010\t152\t\t2\t3", true},
                      CheckCase{"SignLeftInPlace", 5, "2010 152 -99 2 3", false},
                      CheckCase{"OneColumn", 1, "2010", false},
                      CheckCase{"BlankRow", 5, "      ", false}),
    [](const ::testing::TestParamInfo<CheckCase>& param) { return std::string(param.param.name); });

TEST(MissingCheckFile, TextTokenEndsScanQuietlyKeepingEarlierFinds)
{
    MissingValuesFixture f("Head\r\n2010 152 1 2\r\n2010 153 x 2 3\r\n2010 154 1\r\n");
    checkForMissingValues(f.run);
    EXPECT_TRUE(f.run.stopped());
    EXPECT_EQ(f.run.outputPanel, std::string(kMissingValuesReportHeading) + "\n\n2010 152 1 2");
}

} // namespace
