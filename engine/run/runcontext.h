#pragma once

#include "appfolder/appfolder.h"
#include "columns/columnspec.h"
#include "record/record.h"
#include "ui/userfeedback.h"

#include <optional>
#include <string>
#include <vector>

namespace pluvora {

// What the task pages hold, as typed; each task reads and converts its own.
struct TaskPageInput {
    std::string latitudeTask4;   // Edit3
    int regionTask4 = 0;         // RadioButton8..10 as 0..2
    std::string latitudeTask5;   // Edit6
    int climateZoneTask5 = 0;    // RadioButton15..17 as 0..2
    int panChoiceTask6 = 0;      // RadioButton3..7 as 0..4
    std::string fetchTask6 = "1000"; // Edit2, as at start-up
    std::string latitudeTask7;   // Edit4
    std::string elevationTask7;  // Edit5
};

// Where in the input panel a run found what stopped it.
struct InputPosition {
    int line = 0;   // 1-based line of the input panel
    int column = 0; // 1-based column (token) of that line
};

// A day a report lists: where it is in the input panel and why it is there.
struct ReportedDay {
    int inputLine = 0; // 1-based line of the input panel
    std::string reason;
};

// The state every stage of a run shares. Re-initialised for every run.
struct RunContext {
    RunContext(const AppFolder& appFolder, UserFeedback& feedback)
        : folder(appFolder), ui(feedback)
    {
    }

    const AppFolder& folder;
    UserFeedback& ui;

    bool abortFlag = false;
    int task = 0;          // 1 to 7, 0 when none is selected
    int rowsBefore = 0;
    int columnCount = 0;   // 1 to 12
    bool rearrange = false;
    bool cleanFromMenu = false;

    ColumnSpec columns;
    Record record;
    TaskPageInput pages;

    // New text for the output panel, set by stages that show a report there;
    // nothing leaves the panel as it was.
    std::optional<std::string> outputPanel;

    // The number that ended the run with "Invalid numeric input", if found.
    std::optional<InputPosition> badInput;

    // The days of the report in the output panel, one per line from line
    // index reportedDaysFrom on.
    std::vector<ReportedDay> reportedDays;
    int reportedDaysFrom = 0;

    // The variable a task needed and found no column for, if that stopped it.
    std::optional<int> missingVariable;

    // Error sound, error box, abort flag: how a stage fails.
    void fail(std::string_view message)
    {
        reportError(ui, message);
        abortFlag = true;
    }

    std::filesystem::path file(std::string_view name) const { return folder.file(name); }
};

} // namespace pluvora
