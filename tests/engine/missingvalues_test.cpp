#include "appfolder/appfolder.h"
#include "error.h"
#include "recordingfeedback.h"
#include "run/runcontext.h"
#include "tasks/missingvalues.h"
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

    MissingValuesFixture()
    {
        run.rowsBefore = 1;
        run.columnCount = 5;
        run.task = 1;
    }
    void input(std::string_view text) { temp.write("Input.~", text); }
    bool exists(std::string_view name) const { return std::filesystem::exists(temp.path() / name); }
};

struct SubstitutionCase {
    const char* token;
    const char* written;
};

class Substitution : public ::testing::TestWithParam<SubstitutionCase> {};

TEST_P(Substitution, WritesEachValueRoundedOrSubstituted)
{
    MissingValuesFixture f;
    f.input(std::string("Head\r\n2010 ") + GetParam().token + "\r\n");
    valueSubstitution(f.run, -99, "0.01");
    EXPECT_EQ(f.temp.read("Input.~"), std::string("Head\r\n2010\t") + GetParam().written + "\t\r\n");
}

INSTANTIATE_TEST_SUITE_P(Tokens, Substitution,
                         ::testing::Values(SubstitutionCase{"-99", "0.01"},
                                           SubstitutionCase{"-99.4", "0.01"},
                                           SubstitutionCase{"-98.6", "0.01"},
                                           SubstitutionCase{"-99.5", "-99.500"},
                                           SubstitutionCase{"-98.5", "-98.500"},
                                           SubstitutionCase{"12.00004", "12"},
                                           SubstitutionCase{"-0.00003", "0"},
                                           SubstitutionCase{"12.0002", "12.000"},
                                           SubstitutionCase{"25.5", "25.500"},
                                           SubstitutionCase{"7", "7"},
                                           SubstitutionCase{"123456789012345678901234567890", "123456789012346000000000000000"}),
                         [](const ::testing::TestParamInfo<SubstitutionCase>& param) {
                             std::string name;
                             for (const char* c = param.param.token; *c; ++c)
                                 name += *c == '-' ? 'm' : *c == '.' ? 'p' : *c;
                             return name;
                         });

TEST(SubstitutionFile, RewritesEveryTokenOfEveryRowAndKeepsHeaders)
{
    MissingValuesFixture f;
    f.run.rowsBefore = 2;
    f.input("Station: Mead, NE\r\nyear doy rain tmax tmin\r\n"
            "2010 152 -99 25.5 12\r\n"
            "2010\t153\t3.25\t  -99   14 1.5 2\r\n");
    valueSubstitution(f.run, -99, "NA");
    EXPECT_EQ(f.temp.read("Input.~"), "Station: Mead, NE\r\nyear doy rain tmax tmin\r\n"
                                      "2010\t152\tNA\t25.500\t12\t\r\n"
                                      "2010\t153\t3.250\tNA\t14\t1.500\t2\t\r\n");
    EXPECT_FALSE(f.exists("Output.~"));
    EXPECT_TRUE(f.feedback.calls.empty());
}

TEST(SubstitutionFile, StopsOnTextWithoutTouchingInput)
{
    MissingValuesFixture f;
    const std::string original = "Head\r\n2010 152 1\r\n2010 153 n/a\r\n";
    f.input(original);
    try {
        valueSubstitution(f.run, -99, "0.01");
        FAIL() << "no error";
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
    MissingValuesFixture f;
    f.run.columnCount = c.columnCount;
    f.input(std::string("Head\r\n2010 151 1 2 3\r\n") + c.row + "\r\n");
    checkForMissingValues(f.run);

    EXPECT_EQ(f.run.abortFlag, c.reported);
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
                      CheckCase{"FiveOfFive", 5, "2010 152 1 2 3", false},
                      CheckCase{"SecondIsMarker", 5, "2010 -9999 1 2 3", true},
                      CheckCase{"FifthIsMarker", 5, "2010 152 1 2 -9999", true},
                      CheckCase{"FirstIsMarker", 5, "-9999 152 1 2 3", false},
                      CheckCase{"EmptyTabField", 5, "2010\t152\t\t2\t3", true},
                      CheckCase{"SignLeftInPlace", 5, "2010 152 -99 2 3", false},
                      CheckCase{"OneColumnOneValue", 1, "2010", false},
                      CheckCase{"OneColumnMarkerSecond", 1, "2010 -9999", false},
                      CheckCase{"BlankRow", 5, "      ", false}),
    [](const ::testing::TestParamInfo<CheckCase>& param) { return std::string(param.param.name); });

TEST(MissingCheckFile, ListsEveryShortRowAsTyped)
{
    MissingValuesFixture f;
    f.run.rowsBefore = 2;
    f.input("2010 1 2\r\nheader 2\r\n"
            "2010\t152\t1\t\t3\r\n"
            "2010 153 1 2 3\r\n"
            "2010 154 1\r\n");
    checkForMissingValues(f.run);
    EXPECT_EQ(f.run.outputPanel, std::string(kMissingValuesReportHeading) + "\n\n"
                                     + "2010\t152\t1\t\t3\n2010 154 1");
}

TEST(MissingCheckFile, TextTokenEndsScanQuietlyKeepingEarlierFinds)
{
    MissingValuesFixture f;
    f.input("Head\r\n2010 152 1 2\r\n2010 153 x 2 3\r\n2010 154 1\r\n");
    checkForMissingValues(f.run);
    EXPECT_EQ(f.run.outputPanel, std::string(kMissingValuesReportHeading) + "\n\n2010 152 1 2");
    EXPECT_TRUE(f.run.abortFlag);

    MissingValuesFixture clean;
    clean.input("Head\r\n2010 153 x 2 3\r\n2010 154 1\r\n");
    checkForMissingValues(clean.run);
    EXPECT_FALSE(clean.run.abortFlag);
    EXPECT_TRUE(clean.exists("Input.~"));
    EXPECT_FALSE(clean.exists("Out.~"));
    EXPECT_FALSE(clean.exists("Report.~"));
}

TEST(MissingValues, SubstitutedRowsPassTheCheck)
{
    MissingValuesFixture f;
    f.input("Head\r\n2010 152 -99 25.5 12\r\n2010 153 0 -99 11\r\n");
    valueSubstitution(f.run, -99, "0.01");
    checkForMissingValues(f.run);
    EXPECT_FALSE(f.run.abortFlag);
    EXPECT_EQ(f.temp.read("Input.~"), "Head\r\n2010\t152\t0.01\t25.500\t12\t\r\n2010\t153\t0\t0.01\t11\t\r\n");
}

} // namespace
