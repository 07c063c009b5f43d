#pragma once

#include "appfolder/appfolder.h"
#include "columns/variablecatalogue.h"
#include "run/runcontext.h"
#include "ui/userfeedback.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

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
};

// How the output is finished once it is in the output panel.
enum class Finishing {
    None,
    SiteCoordinate,    // trim header rows, then ask for the site coordinates
    UpdateWeatherFile, // trim header rows, then update an existing weather file
    LatitudeLine,      // trim header rows, then insert the task page's latitude
};

struct InputPosition { int line = 0; int column = 0; }; // 1-based line of the input panel, 1-based column (token)

struct RunOutcome {
    bool completed = false;                 // reached the completion step
    std::optional<std::string> outputPanel; // new output panel text, if any
    Finishing finishing = Finishing::None;
    int rowsBefore = 0;
    std::string latitudeLine;               // for Finishing::LatitudeLine
    std::optional<InputPosition> badInput;  // member of RunOutcome
};

// The whole stage chain. Stages tell the user through `ui`. A failure of the
// file layer or of a conversion that no stage catches throws Error while the
// output panel is untouched; once the run has cleared the panel, it is shown
// as an error box and the outcome carries the cleared panel instead.
RunOutcome runProcessing(const RunRequest& request, const AppFolder& folder, UserFeedback& ui);

} // namespace pluvora
