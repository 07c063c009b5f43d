#pragma once

#include "appfolder/appfolder.h"
#include "columns/datalayout.h"
#include "stage/integertext.h"
#include "stage/runcontext.h"
#include "ui/userfeedback.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pluvora {

// Shown by a run whose task has no stage in this build.
inline constexpr const char* kTaskNotAvailable = "This task is not available in this version of Pluvora.";

// Everything "Step 4: Process" reads from the window, as the controls hold it.
struct RunRequest {
    int taskIndex = -1;                 // ComboBox1 item index, -1 for none
    std::string fileName;               // Edit1
    // The rows box as typed: an empty box stops the run, so the number of
    // `layout` is not what a run reads.
    std::string rowsBeforeText;         // adpEdit1
    DataLayout layout;                  // the column panel
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
    // Filled with each day's provenance when given (charts, reports).
    RunProvenance* provenance = nullptr;
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
};

// The whole stage chain. Stages tell the user through `ui`. A failure of the
// file layer or of a conversion that no stage catches throws Error while the
// output panel is untouched; once the run has cleared the panel, it is shown
// as an error box and the outcome carries the cleared panel instead.
RunOutcome runProcessing(const RunRequest& request, const AppFolder& folder, UserFeedback& ui);

} // namespace pluvora
