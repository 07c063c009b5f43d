#pragma once

#include "appfolder/appfolder.h"
#include "columns/variablecatalogue.h"
#include "run/runcontext.h"
#include "ui/userfeedback.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// Shown by a run whose task has no stage in this build.
inline constexpr const char* kTaskNotAvailable = "This task is not available in this version of Pluvora.";

// "'x' is not a valid integer value": a box that should hold a whole number.
std::string notAnIntegerMessage(std::string_view text);

// Everything "Step 4: Process" reads from the window, as the controls hold it.
struct RunRequest {
    int taskIndex = -1;                 // ComboBox1 item index, -1 for none
    std::string fileName;               // Edit1
    std::string rowsBeforeText;         // adpEdit1
    std::array<int, kColumnBoxes> variableIndex{-1, -1, -1, -1, -1, -1,
                                                -1, -1, -1, -1, -1, -1}; // ComboBox12..23
    std::array<std::string, kColumnBoxes> unitShown{};                  // ComboBox24..35
    bool rearrange = false;             // CheckBox1 enabled and checked
    bool substitutionEnabled = true;    // CheckBox2
    std::string signText = "-99";       // adpEdit2
    std::string substituteText = "0.01";// adpEdit3
    TaskPageInput pages;
    std::string_view inputText;         // Memo1, lines separated by '\n'

    // For a caller that streams (pluvora-batch): "Input.~" already holds the
    // input panel's text as a run saves it, so inputText is not used; and a
    // completed result stays in "Output.~" (RunOutcome::outputFile) instead
    // of being loaded as panel text. The run may then skip working files
    // nobody reads afterwards.
    bool streamed = false;
    // With `streamed`, a file that readsAsItsPanelText, which the run reads
    // instead of "Input.~" and saves as "Input.~" only where a stage needs
    // it.
    std::filesystem::path inputFile;
};

// How the output is finished once it is in the output panel.
enum class Finishing {
    None,
    SiteCoordinate,    // trim header rows, then ask for the site coordinates
    UpdateWeatherFile, // trim header rows, then update an existing weather file
    LatitudeLine,      // trim header rows, then insert the task page's latitude
};

struct RunOutcome {
    bool completed = false;                 // reached the completion step
    std::optional<std::string> outputPanel; // new output panel text, if any
    Finishing finishing = Finishing::None;
    int rowsBefore = 0;
    std::string latitudeLine;               // for Finishing::LatitudeLine
    std::filesystem::path outputFile;       // a streamed run's result ("Output.~")
    std::optional<InputPosition> badInput;  // where "Invalid numeric input" was met
    std::optional<int> missingVariable;     // the variable a task found no column for
    std::vector<ReportedDay> reportedDays;  // the checkup's listed days, in report order
    int reportedDaysFrom = 0;               // output panel line index of the first
};

// The whole stage chain. Stages tell the user through `ui`. A failure of the
// file layer or of a conversion that no stage catches throws Error while the
// output panel is untouched; once the run has cleared the panel, it is shown
// as an error box and the outcome carries the cleared panel instead.
RunOutcome runProcessing(const RunRequest& request, const AppFolder& folder, UserFeedback& ui);

} // namespace pluvora
