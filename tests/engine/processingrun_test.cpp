#include "appfolder/appfolder.h"
#include "error.h"
#include "recordingfeedback.h"
#include "run/columnresolution.h"
#include "run/processingrun.h"
#include "table/inputtable.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

using namespace pluvora;
using namespace pluvora::test;

namespace {

struct Run : ::testing::Test {
    TempFolder dir;
    AppFolder folder{dir.path()};
    RecordingFeedback ui;
    RunRequest request;
    std::string input;

    RunOutcome process()
    {
        request.inputText = input;
        return runProcessing(request, folder, ui);
    }

    void describeTask1Input()
    {
        request.fileName = "station.txt";
        request.rowsBeforeText = "2";
        request.taskIndex = 0;
        request.variableIndex = {kYear, kDoy, kTmax, kTmin, kPrecip, -1, -1, -1, -1, -1, -1, -1};
        request.unitShown = {"", "", "oC", "oC", "mm"};
        input = "Station 12\nYear DOY Tmax Tmin Rain\n2001 1 10.5 2.25 0\n2001 2 11 3 1.2\n";
    }
};

} // namespace

TEST_F(Run, MissingEverythingStopsAtColumns)
{
    const auto outcome = process();
    EXPECT_FALSE(outcome.completed);
    EXPECT_FALSE(outcome.outputPanel.has_value());
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"sound: error", "error: Columns are not specified."}));
    EXPECT_FALSE(folder.exists("Input.~"));
}

TEST_F(Run, InputChecksComeInOrder)
{
    request.variableIndex[0] = kYear;
    process();
    request.fileName = "a.txt";
    process();
    request.rowsBeforeText = "0";
    process();
    request.taskIndex = 3;
    process();
    request.taskIndex = 4;
    process();
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{
                                 "error: No input file is opened.",
                                 "error: The number of rows prior to start of data is not specified.",
                                 "error: No task is selected.",
                                 "error: No latitude is given.",
                                 "error: No latitude is given.",
                             }));
    EXPECT_FALSE(folder.exists("Input.~"));
}

TEST_F(Run, ColumnWithoutUnitIsNamed)
{
    request.fileName = "a.txt";
    request.rowsBeforeText = "0";
    request.taskIndex = 0;
    request.variableIndex = {kYear, kDoy, kSolar, kTmax, -1, -1, -1, -1, -1, -1, -1, -1};
    input = "2001 1 5 5\n";
    const auto outcome = process();
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"error: column 3 has no unit."});
    EXPECT_EQ(noUnitMessage(12), "column 12 has no unit.");
}

TEST_F(Run, LaterColumnsUnitWins)
{
    RunContext run(folder, ui);
    request.variableIndex = {kPrecip, kPrecip, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    request.unitShown = {"mm", "inch"};
    assignVariableIndexAndUnitIndexToColumn(run, request, 2);
    assignUnit(run, request, 2);
    EXPECT_FALSE(run.abortFlag);
    EXPECT_EQ(run.columns.unit(kPrecip), "inch");
    EXPECT_EQ(run.columns.unit(kSolar), "");
}

TEST_F(Run, NonIntegerSignEndsTheRunWithAnError)
{
    describeTask1Input();
    request.signText = "x";
    EXPECT_THROW(process(), Error);
}

TEST_F(Run, TaskOneCompletesWithTheWeatherFileInTheOutputPanel)
{
    describeTask1Input();
    const auto outcome = process();
    ASSERT_TRUE(outcome.completed) << ::testing::PrintToString(ui.calls);
    EXPECT_EQ(outcome.finishing, Finishing::SiteCoordinate);
    EXPECT_EQ(outcome.rowsBefore, 2);
    ASSERT_TRUE(outcome.outputPanel.has_value());
    EXPECT_EQ(*outcome.outputPanel,
              "Station 12\nYear DOY Tmax Tmin Rain\n"
              "Year\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\n"
              "\t\tMJ/m2\toC\toC\t%\tmm\tmm\n"
              "2001\t1\t0.00\t10.5\t2.3\t0\t0.0\t0.0\n"
              "2001\t2\t0.00\t11.0\t3.0\t0\t1.2\t0.0");
    EXPECT_EQ(ui.messages(), std::vector<std::string>{});
    EXPECT_EQ(ui.calls.back(), "sound: exclamation");
    EXPECT_FALSE(ui.progressVisible);
}

TEST_F(Run, TasksWithoutAStageStopWithAClearMessage)
{
    describeTask1Input();
    request.taskIndex = 5; // task 6
    const auto outcome = process();
    EXPECT_FALSE(outcome.completed);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].find("not available"), std::string::npos);
}
