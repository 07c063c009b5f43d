#include "engine/appfolder/appfolder.h"
#include "engine/error.h"
#include "engine/run/columnresolution.h"
#include "engine/run/processingrun.h"
#include "engine/table/inputtable.h"
#include "engine/tasks/datacheckup.h"
#include "engine/tasks/estimationframe.h"
#include "engine/tasks/missingvalues.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

using namespace pluvora;
using namespace pluvora::test;

namespace {

// Also keeps the gauge's showing and hiding among the calls, so that its
// place in the run can be asserted.
struct GaugeRecordingFeedback : RecordingFeedback {
    void setProgressVisible(bool visible) override
    {
        RecordingFeedback::setProgressVisible(visible);
        calls.push_back(visible ? "gauge: shown" : "gauge: hidden");
    }
    // The message boxes alone.
    std::vector<std::string> boxes() const
    {
        std::vector<std::string> out;
        for (const auto& m : messages())
            if (m.rfind("gauge: ", 0) != 0)
                out.push_back(m);
        return out;
    }
};

struct Run : ::testing::Test {
    TempFolder dir;
    AppFolder folder{dir.path()};
    GaugeRecordingFeedback ui;
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
        request.layout = layoutFromColumns("Year,DOY,T-max:oC,T-min:oC,Precip:mm");
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
    request.layout.setColumn(1, kYear);
    process();
    request.fileName = "a.txt";
    process();
    request.rowsBeforeText = "0";
    process();
    request.taskIndex = 3;
    process();
    request.taskIndex = 4;
    process();
    EXPECT_EQ(ui.boxes(), (std::vector<std::string>{
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
    request.layout = layoutFromColumns("Year,DOY,Solar,T-max");
    input = "2001 1 5 5\n";
    const auto outcome = process();
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(ui.boxes(), std::vector<std::string>{"error: column 3 has no unit."});
    EXPECT_EQ(noUnitMessage(12), "column 12 has no unit.");
}

TEST_F(Run, LaterColumnsUnitWins)
{
    RunContext run(folder, ui);
    request.layout = layoutFromColumns("Precip:mm,Precip:inch");
    assignVariableIndexAndUnitIndexToColumn(run, request, 2);
    assignUnit(run, request, 2);
    EXPECT_FALSE(run.stopped());
    EXPECT_EQ(run.columns.unit(kPrecip), "inch");
    EXPECT_EQ(run.columns.unit(kSolar), "");
}

TEST_F(Run, AFailureAfterTheOutputPanelIsClearedStillClearsIt)
{
    describeTask1Input();
    request.signText = "x";
    const auto outcome = process();
    EXPECT_FALSE(outcome.completed);
    // An old result left in the panel would pass for this run's output.
    EXPECT_EQ(outcome.outputPanel, std::optional<std::string>(""));
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"gauge: shown", "gauge: hidden", "sound: error",
                                                  "error: " + notAnIntegerMessage("x")}));
    // The substitution never started: the working input is as saved.
    EXPECT_EQ(dir.read("Input.~"),
              "Station 12\r\nYear DOY Tmax Tmin Rain\r\n2001 1 10.5 2.25 0\r\n2001 2 11 3 1.2\r\n");
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
    // The gauge goes before the completion sound.
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"gauge: shown", "gauge: hidden", "sound: exclamation"}));
}

TEST_F(Run, TaskStageWithoutItsColumnsStopsWithAClearMessage)
{
    describeTask1Input();
    request.taskIndex = 5; // task 6: no pan, wind or humidity column
    const auto outcome = process();
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(ui.boxes(), std::vector<std::string>{std::string("error: ") + kRequiredDataMissing});
}

TEST_F(Run, StopsBeforeTheGaugeWhenAColumnHasNoUnit)
{
    describeTask1Input();
    request.layout.units[4] = -1;
    const auto outcome = process();
    EXPECT_FALSE(outcome.completed);
    EXPECT_FALSE(outcome.outputPanel.has_value()); // the panel keeps its text
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"sound: error", "error: " + noUnitMessage(5)}));
}

TEST_F(Run, MessyInputConvertsLikeACleanOne)
{
    // Commas, slashes, quality flags, a plus sign, letters in the header, a
    // blank line ending the data and a note after it.
    describeTask1Input();
    request.rowsBeforeText = "1";
    request.layout = layoutFromColumns("Year,Month,Day,T-max:oC,T-min:oC,Precip:mm");
    input = "Station: Ames, IA (\xC2\xB0" "C)\n"
            "2001/01/01,10.5,2.25,0.0T\n"
            "2001/01/02,+11,3M,1.2\n"
            "\n"
            "2001/01/03,99,99,99\n"
            "Data: public domain\n";
    const auto outcome = process();
    ASSERT_TRUE(outcome.completed) << ::testing::PrintToString(ui.calls);
    EXPECT_EQ(*outcome.outputPanel,
              "Station: Ames, IA (\xC2\xB0" "C)\n"
              "Year\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\n"
              "\t\tMJ/m2\toC\toC\t%\tmm\tmm\n"
              "2001\t1\t0.00\t10.5\t2.3\t0\t0.0\t0.0\n"
              "2001\t2\t0.00\t11.0\t3.0\t0\t1.2\t0.0");
}

namespace {

struct StopCase {
    const char* name;
    const char* dataRow; // follows a good first row
    bool substitution;
    int taskIndex;
    std::vector<std::string> messages;
    const char* panelStart; // nullptr: the panel was cleared and left empty
};

struct RunStops : Run, ::testing::WithParamInterface<StopCase> {};

} // namespace

// Each stage that fails tells the user once, and the run goes no further:
// the checks stand where the stages can fail, and nowhere else.
TEST_P(RunStops, AtTheFirstCheckAfterTheFailure)
{
    const StopCase& c = GetParam();
    describeTask1Input();
    request.substitutionEnabled = c.substitution;
    request.taskIndex = c.taskIndex;
    input = std::string("h1\nh2\n2001 1 10.5 2.25 0\n") + c.dataRow + "\n";
    const auto outcome = process();
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(ui.boxes(), c.messages);
    ASSERT_TRUE(outcome.outputPanel.has_value());
    if (c.panelStart)
        EXPECT_EQ(outcome.outputPanel->rfind(c.panelStart, 0), 0u) << *outcome.outputPanel;
    else
        EXPECT_EQ(*outcome.outputPanel, "");
    EXPECT_FALSE(ui.progressVisible);
}

INSTANTIATE_TEST_SUITE_P(
    Stages, RunStops,
    ::testing::Values(
        StopCase{"NotANumberInSubstitution", "2001 2 11 3 1-2", true, 0,
                 {std::string("error: ") + kInvalidNumericInput}, nullptr},
        StopCase{"NotANumberReachesTheCheckup", "2001 2 11 3 1-2", false, 0,
                 {std::string("error: ") + kDataFormatProblem}, nullptr},
        StopCase{"MissingValue", "2001 2 11 3", true, 0,
                 {std::string("error: ") + kMissingValuesFound}, kMissingValuesReportHeading},
        StopCase{"EndMarkerValueCountsAsMissing", "2001 2 11 3 -9999", false, 0,
                 {std::string("error: ") + kMissingValuesFound}, kMissingValuesReportHeading},
        StopCase{"SuspiciousValue", "2001 2 75 3 0", true, 0,
                 {std::string("warning: ") + kDataErrorsSpotted}, kCheckupReportTitle},
        StopCase{"TaskStageFails", "2001 2 11 3 1.2", true, 5,
                 {std::string("error: ") + kRequiredDataMissing}, nullptr},
        StopCase{"TaskStageFailsAfterCleaning", "2001/2 11C 3C 1.2mm", true, 6,
                 {std::string("error: ") + kRequiredDataMissing}, nullptr}),
    [](const auto& param) { return std::string(param.param.name); });

namespace {

// Asks the run to stop at one gauge step, as the window's Cancel does.
struct StoppingFeedback : GaugeRecordingFeedback {
    long stopAt = -1;
    std::vector<std::string> passes;
    void progressPass(std::string_view what) override { passes.emplace_back(what); }
    bool cancelRequested() override { return ticks == stopAt; }
};

} // namespace

// Wherever the stop comes, from the first step of the first pass to the
// last of the last, the run ends without a working file, whole or in part.
TEST(RunCancel, AStoppedRunWritesNothing)
{
    struct Case {
        const char* name;
        int taskIndex;
        const char* columns;
        const char* data; // one day, repeated
    };
    const Case cases[] = {
        {"Converting", 0, "Year,DOY,T-max:oC,T-min:oC,Precip:mm", "2001 %d 10.5 2.25 0\n"},
        {"CleaningFirst", 0, "Year,DOY,T-max:oC,T-min:oC,Precip:mm", "2001 %d 10.5 2.25 0.0T\n"},
        {"Estimating", 3, "Year,DOY,T-max:oC,T-min:oC", "2001 %d 25 12\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string input = "Year DOY Tmax Tmin Rain\n";
        for (int day = 1; day <= 200; ++day) {
            char row[64];
            std::snprintf(row, sizeof row, c.data, day);
            input += row;
        }
        RunRequest request;
        request.fileName = "station.txt";
        request.rowsBeforeText = "1";
        request.taskIndex = c.taskIndex;
        request.layout = layoutFromColumns(c.columns);
        request.pages.latitudeTask4 = "35";
        request.inputText = input;

        TempFolder whole;
        StoppingFeedback counting;
        ASSERT_TRUE(runProcessing(request, AppFolder{whole.path()}, counting).completed)
            << ::testing::PrintToString(counting.calls);
        ASSERT_GE(counting.passes.size(), 2u);
        for (const long stopAt : {1L, counting.ticks / 2, counting.ticks}) {
            TempFolder dir;
            StoppingFeedback ui;
            ui.stopAt = stopAt;
            EXPECT_THROW(runProcessing(request, AppFolder{dir.path()}, ui), RunCancelled) << stopAt;
            EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << stopAt;
            EXPECT_TRUE(ui.boxes().empty()) << stopAt;
            EXPECT_FALSE(ui.progressVisible) << stopAt;
        }
    }
}
