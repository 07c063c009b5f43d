#pragma once

#include "engine/appfolder/appfolder.h"
#include "engine/columns/columnspec.h"
#include "engine/record/record.h"
#include "engine/stage/inputposition.h"
#include "engine/ui/userfeedback.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace pluvora {

class RunProvenance;
class DayLog;

// The settings of the tasks' own pages, as typed; each task reads and
// converts its own.
struct TaskPageInput {
    std::string latitudeTask4;
    int regionTask4 = 0;         // the three regions, in page order, as 0..2
    std::string latitudeTask5;
    int climateZoneTask5 = 0;    // the three climate zones, in page order, as 0..2
    int panChoiceTask6 = 0;      // the five pan choices, in page order, as 0..4
    std::string fetchTask6 = "1000"; // as at start-up
    std::string latitudeTask7;
    std::string elevationTask7;
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
    // Leave the checkup's list in its file (reportFile) rather than load it
    // as outputPanel: a caller that streams it on asks for that.
    bool reportAsFile = false;
    std::filesystem::path reportFile;

    // Where the run met what stopped it: a token that is no number, or a
    // date that cannot be.
    std::optional<InputPosition> badInput;

    // The days of the report in the output panel, one per line from line
    // index reportedDaysFrom on.
    std::vector<ReportedDay> reportedDays;
    int reportedDaysFrom = 0;

    // The variable a task needed and found no column for, if that stopped it.
    std::optional<int> missingVariable;
    // The records a gap fill inserted for days the input lacks, ascending:
    // they have no line of the input panel.
    std::vector<std::size_t> insertedRecords;
    // The records the substitution wrote into, ascending, each with a bit
    // (1 << column) per column it replaced: the checkup tells a substituted
    // value from a measured one by them.
    std::vector<std::pair<std::size_t, std::uint32_t>> substitutedColumns;
    // Filled as the stages go when someone asked for it; null otherwise.
    RunProvenance* provenance = nullptr;
    // Each converted day, for a crop model's own file; null when no one
    // asked for one.
    DayLog* days = nullptr;

    // How a stage fails: error sound and box, and the run stops.
    void fail(std::string_view message)
    {
        reportError(ui, message);
        mStopped = true;
    }
    // The run ends at this stage, which has told the user itself (a
    // report, a warning, or the checkup's all-clear).
    void stop() { mStopped = true; }
    bool stopped() const { return mStopped; }
    // A new run over the same state.
    void clearStop() { mStopped = false; }

    std::filesystem::path file(std::string_view name) const { return folder.file(name); }

    // How many records before `index` a gap fill inserted, and whether it
    // inserted `index` itself: what turns a record back into its line.
    std::size_t insertedBefore(std::size_t index, bool* inserted = nullptr) const
    {
        const auto at = std::lower_bound(insertedRecords.begin(), insertedRecords.end(), index);
        if (inserted)
            *inserted = at != insertedRecords.end() && *at == index;
        return static_cast<std::size_t>(at - insertedRecords.begin());
    }

private:
    bool mStopped = false;
};

} // namespace pluvora
