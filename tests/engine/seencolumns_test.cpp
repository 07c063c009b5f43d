#include "engine/columns/sharedvariable.h"
#include "engine/columns/variablecatalogue.h"
#include "engine/table/datastart.h"
#include "engine/table/seencolumns.h"

#include <gtest/gtest.h>

#include <array>

using namespace pluvora;

namespace {

struct RemoveCase {
    const char* name;
    FieldSplit split;
    int rowsBefore;
    std::vector<bool> remove;
    const char* panel;
    const char* expected;
};

class SeenColumnRemoval : public ::testing::TestWithParam<RemoveCase> {};

} // namespace

TEST_P(SeenColumnRemoval, DropsTheColumnAndKeepsTheOthersAsTyped)
{
    const RemoveCase& c = GetParam();
    EXPECT_EQ(removeSeenColumns(c.panel, c.rowsBefore, c.remove, c.split), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SeenColumnRemoval,
    ::testing::Values(
        // A date with slashes and a flagged value are one column each.
        RemoveCase{"SlashDateStaysWhole", FieldSplit::Blanks, 1, {false, true},
                   "Date Rain Tmax\n1/01/2024  2.5M -25.0\n2/01/2024 0 -3",
                   "Date Rain Tmax\n1/01/2024\t-25.0\t\n2/01/2024\t-3\t"},
        RemoveCase{"ColumnsPastTheListAreKept", FieldSplit::Blanks, 0, {true},
                   "1 2 3 4 5\n\n6", "2\t3\t4\t5\t\n\n"},
        // The quoted CSV of a national service: quotes, empty fields and
        // the flag columns kept byte for byte.
        RemoveCase{"QuotedCsvField", FieldSplit::Comma, 1, {false, false, true},
                   "\"Date/Time\",\"Year\",\"Flag\",\"Max Temp\"\n"
                   "\"2014-01-01\",\"2014\",\"\",\"-25.0\"\r\n",
                   "\"Date/Time\",\"Year\",\"Flag\",\"Max Temp\"\n"
                   "\"2014-01-01\",\"2014\",\"-25.0\"\n"},
        RemoveCase{"DelimiterInsideQuotes", FieldSplit::Comma, 0, {false, true},
                   "\"a,b\",1,2", "\"a,b\",2"},
        RemoveCase{"Semicolons", FieldSplit::Semicolon, 0, {true}, "1,5;2;;3", "2;;3"},
        RemoveCase{"Tabs", FieldSplit::Tab, 0, {false, true}, "a b\tc d\te", "a b\te"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(SeenColumns, EveryColumnOfTheWidestRowWithItsHeaderAndFirstValue)
{
    const auto columns = describeSeenColumns(
        "Station 7\nYEAR DOY T2M RH\n2001 1 -\n2001 2 5.5 80 M\nend", 2, FieldSplit::Blanks);
    ASSERT_EQ(columns.size(), 5u);
    EXPECT_EQ(columns[0].header, "YEAR");
    EXPECT_EQ(columns[0].sample, "2001");
    EXPECT_EQ(columns[2].header, "T2M");
    EXPECT_EQ(columns[2].sample, "-");
    EXPECT_EQ(columns[3].sample, "80"); // the first row that has it
    EXPECT_EQ(columns[4].header, "");
    EXPECT_EQ(columns[4].sample, "M");

    const auto csv = describeSeenColumns("\"Date\",\"Max Temp (\xC2\xB0" "C)\"\n\"2014-01-01\",\"-25.0\"", 1,
                                         FieldSplit::Comma);
    ASSERT_EQ(csv.size(), 2u);
    EXPECT_EQ(csv[1].header, "\"Max Temp (\xC2\xB0" "C)\"");
    EXPECT_EQ(csv[1].sample, "\"-25.0\"");
}

TEST(SharedVariable, NamesTheFirstTwoColumnsThatHoldTheSameVariable)
{
    const std::array<int, 8> codes{kYear, kDoy, kIgnore, kIgnore, kSunHrPercent, kPrecip, -1, kPrecip};
    const auto shared = findSharedVariable(codes);
    ASSERT_TRUE(shared);
    EXPECT_EQ(sharedVariableMessage(*shared),
              "Columns 6 and 8 are both set to \"Precip\". Change one of them before processing.");
    const std::array<int, 5> apart{kYear, kIgnore, kIgnore, -1, -1};
    EXPECT_FALSE(findSharedVariable(apart));
}

TEST(DataStart, TheFirstRowOfNumbersEndsTheHeader)
{
    EXPECT_EQ(headerRowsOf("Head\nYear DOY\n2001 1 5.5\n2001 2"), 2);
    EXPECT_EQ(headerRowsOf("40.5 -96.25 350  Lat (deg)\n\n-1 .5\n"), 2);
    EXPECT_EQ(headerRowsOf("2001 1\n"), 0);
    EXPECT_EQ(headerRowsOf("a\nb"), 2);
}
