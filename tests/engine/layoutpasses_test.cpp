#include "engine/table/layoutpasses.h"

#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

using namespace pluvora;
using namespace pluvora::test;

namespace {

enum class Pass { Clean, Align, RemoveSecond, RemoveNone };

struct PassCase {
    const char* name;
    Pass pass;
    int rowsBefore;
    const char* panel;
    const char* expected;
};

std::string run(Pass pass, const AppFolder& folder, UserFeedback& ui, std::string_view panel,
                int rows)
{
    ColumnRemoveFlags flags{};
    switch (pass) {
    case Pass::Clean: return cleanInputData(folder, ui, panel, rows);
    case Pass::Align: return alignData(folder, ui, panel, rows);
    case Pass::RemoveSecond: flags[1] = true; return removeColumns(folder, ui, panel, rows, flags);
    case Pass::RemoveNone: return removeColumns(folder, ui, panel, rows, flags);
    }
    return {};
}

class LayoutPass : public ::testing::TestWithParam<PassCase> {};

} // namespace

TEST_P(LayoutPass, RewritesTheDataRowsAndKeepsTheHeader)
{
    const PassCase& c = GetParam();
    TempFolder dir;
    AppFolder folder(dir.path());
    RecordingFeedback ui;
    EXPECT_EQ(run(c.pass, folder, ui, c.panel, c.rowsBefore), c.expected);
    EXPECT_FALSE(ui.progressVisible);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutPass,
    ::testing::Values(
        PassCase{"CleanFlagsAndTab", Pass::Clean, 1, "Date Rain Tmax\n12.5M\t3.1",
                 "Date Rain Tmax\n12.5 \t3.1 "},
        PassCase{"CleanLeavesValueRowsButAddsTheLineEndBlank", Pass::Clean, 0, "1 -2.5\t3",
                 "1 -2.5\t3 "},
        PassCase{"CleanCountsAMultiByteCharacterOnce", Pass::Clean, 0, "21\xC2\xB0" "5",
                 "21 5 "},
        PassCase{"AlignDateWithSlashes", Pass::Align, 0, "2010/05/21  12.5",
                 "2010\t05\t21\t12.5\t"},
        PassCase{"AlignDateWithMinusSigns", Pass::Align, 0, "2010-05-21 -3.5",
                 "2010\t05\t21\t-3.5\t"},
        PassCase{"AlignExponentSplits", Pass::Align, 0, "1.5e-3", "1.5\t-3\t"},
        PassCase{"AlignTextOnlyRowBecomesEmpty", Pass::Align, 1, "head 1\nno data here\n.5 x",
                 "head 1\n\n5\t"},
        PassCase{"AlignStopsAtTheEndOfAShortHeader", Pass::Align, 3, "only", "only"},
        PassCase{"RemoveSecondColumn", Pass::RemoveSecond, 0, "1 2 3\n4 5", "1\t3\t\n4\t"},
        PassCase{"RemoveNothingStillAligns", Pass::RemoveNone, 1, "h e a d\n7,8;9",
                 "h e a d\n7\t8\t9\t"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(LayoutPasses, TokensAfterTheThirtiethAreAlwaysKept)
{
    TempFolder dir;
    AppFolder folder(dir.path());
    RecordingFeedback ui;
    std::string row;
    std::string expected;
    for (int k = 1; k <= 32; ++k) {
        row += std::to_string(k) + " ";
        if (k != 30)
            expected += std::to_string(k) + "\t";
    }
    ColumnRemoveFlags all{};
    all.fill(false);
    all[29] = true;
    EXPECT_EQ(removeColumns(folder, ui, row, 0, all), expected);
    EXPECT_EQ(ui.ticks, 1); // one gauge step per row
}

TEST(LayoutPasses, AFailedPassThrowsAndHidesTheGauge)
{
    TempFolder dir;
    AppFolder folder(dir.path());
    // A folder in the way of the working file, which cannot be removed.
    std::filesystem::create_directory(dir.path() / "Output.~");
    dir.write("Output.~/keep", "x");
    RecordingFeedback ui;
    EXPECT_ANY_THROW(alignData(folder, ui, "1 2", 0));
    EXPECT_FALSE(ui.progressVisible);
}

TEST(LayoutPasses, TheCleanExplanationFlagFile)
{
    TempFolder dir;
    AppFolder folder(dir.path());
    EXPECT_TRUE(cleanExplanationWanted(folder)); // absent: explain
    rememberCleanExplanation(folder, false);
    EXPECT_EQ(dir.read("DSMA1.~"), "0\r\n");
    EXPECT_FALSE(cleanExplanationWanted(folder));
    rememberCleanExplanation(folder, true);
    EXPECT_TRUE(cleanExplanationWanted(folder));
    dir.write("DSMA1.~", "x\r\n");
    EXPECT_TRUE(cleanExplanationWanted(folder));
    folder.deleteFiles(); // a working file: gone at the next start or close
    EXPECT_TRUE(cleanExplanationWanted(folder));
}
