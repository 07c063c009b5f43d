#pragma once

#include "engine/appfolder/appfolder.h"
#include "engine/columns/datalayout.h"
#include "engine/fill/gapfill.h"
#include "engine/stage/integertext.h"
#include "engine/stage/runcontext.h"
#include "engine/ui/userfeedback.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// Shown by a run whose task has no stage in this build.
inline constexpr const char* kTaskNotAvailable = "This task is not available in this version of Pluvora.";

// The settings a run reads, as the window holds them.
struct RunRequest {
    int taskIndex = -1;                 // position in the task list, -1 for none
    std::string fileName;               // the input's name as shown
    // The rows setting as typed: an empty setting stops the run, so the
    // number of `layout` is not what a run reads.
    std::string rowsBeforeText;
    DataLayout layout;                  // the columns' variables and units
    bool rearrange = false;             // "Convert and rearrange for Maravel use" offered and on
    bool substitutionEnabled = true;    // substitute the missing-value sign
    std::string signText = "-99";       // the missing-value sign as typed
    std::string substituteText = "0.01";// its substitute as typed
    TaskPageInput pages;
    std::string_view inputText;         // the input panel's text, lines separated by '\n'

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
    // Missing values filled instead of substituted, when asked.
    FillSettings fill;
    // Filled with each day's provenance when given (charts, reports).
    RunProvenance* provenance = nullptr;
    // Filled with each converted day when given (a crop model's own file).
    DayLog* days = nullptr;
    // The checkup's list stays in its file (RunOutcome::reportFile) instead
    // of being loaded as panel text, and its days are not linked
    // (reportedDays): it may list millions of days.
    bool reportAsFile = false;
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
    std::optional<InputPosition> badInput;  // the token or date that stopped the run
    std::optional<int> missingVariable;     // the variable a task found no column for
    std::vector<ReportedDay> reportedDays;  // the checkup's listed days, in report order
    int reportedDaysFrom = 0;               // output panel line index of the first
    std::filesystem::path reportFile;       // with RunRequest::reportAsFile, the checkup's list
};

// The whole stage chain. Stages tell the user through `ui`. A failure of the
// file layer or of a conversion that no stage catches throws Error while the
// output panel is untouched; once the run has cleared the panel, it is shown
// as an error box and the outcome carries the cleared panel instead. Once
// `ui` asks for a stop the run throws RunCancelled, its working files gone.
RunOutcome runProcessing(const RunRequest& request, const AppFolder& folder, UserFeedback& ui);

// Removes the working files a run writes: a stopped run leaves none of
// them, whole or in part.
void removeRunFiles(const AppFolder& folder);

} // namespace pluvora
