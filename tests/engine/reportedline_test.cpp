#include "engine/table/reportedline.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using pluvora::findReportedLine;

namespace {

struct Case {
    const char* name;
    const char* reportLine;
    int rowsBefore;
    const char* substitute;
    std::optional<int> line;
};

// Line 1 is a header that repeats a data row's text.
constexpr const char* kPanel = "2001 3 4\n"
                               "2001 1 10 5\n"
                               "2001 2 -99 6\n"
                               "2001 3\t\t4\n"
                               "2001 4 12.0002 -99.4\r\n"
                               "2001 5 7";

class ReportedLine : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(ReportedLine, FindsTheRowOfTheInputPanel)
{
    const Case& c = GetParam();
    EXPECT_EQ(findReportedLine(c.reportLine, kPanel, c.rowsBefore, c.substitute), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReportedLine,
    ::testing::Values(
        Case{"SameText", "2001 5 7", 1, "0.01", 6},
        Case{"HeaderRowsAreNotSearched", "2001 3 4", 1, "0.01", 4},
        Case{"TabsOfSubstitution", "2001\t3\t4\t", 1, "0.01", 4},
        Case{"ThreeDecimalsAndSubstitute", "2001\t4\t12.000\t0.01\t", 1, "0.01", 5},
        Case{"SubstituteStandsForTheSign", "2001\t2\t0.01\t6\t", 1, "0.01", 3},
        Case{"WithoutHeaderRowsTheFirstLineCounts", "2001 3 4", 0, "0.01", 1},
        Case{"OtherValuesDoNotMatch", "2001\t4\t12.010\t0.01\t", 1, "0.01", std::nullopt},
        Case{"FewerValuesDoNotMatch", "2001 5", 1, "0.01", std::nullopt},
        Case{"EmptyLine", "  ", 0, "0.01", std::nullopt},
        Case{"HeadingIsNoRow", "Missing values are found on the following lines:", 0, "0.01",
             std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });
