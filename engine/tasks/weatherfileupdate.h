#pragma once

#include "engine/appfolder/appfolder.h"
#include "engine/io/backupreplace.h"
#include "engine/ui/userfeedback.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

inline constexpr const char* kFirstUpdateNotice = "The data must comply to the format for Maravel.";
inline constexpr const char* kUpdateDialogTitle = "Select the weather file to be updated for Maravel use";
// Description and pattern pairs, separated by "|".
inline constexpr const char* kUpdateDialogFilter = "Maravel weather file (.wth)|*.wth|All files(*.*)|*.*";
inline constexpr const char* kUpdateProblems =
    "The program has encountered problems. Please update the existing file manually.";
inline constexpr const char* kNoNeedToUpdate = "No need to update the existing file.";
inline constexpr const char* kUpdateGapQuestion =
    "The first day in the output data does not continue from the end of the existing file. Update anyway?";
// Where a row of the new data is named in a message.
inline constexpr const char* kNewDataSource = "the output data";

// "site.wth is now updated. The origina file is renamed to 'site.wth.old.'"
std::string weatherFileUpdatedMessage(std::string_view fileName);
// A row that cannot be dated, named by its line: nothing is replaced.
std::string updateRowMessage(std::string_view problem, std::size_t lineNumber, std::string_view source,
                             std::string_view line);
std::string noSuchDayMessage(int year, int dayOfYear);
// New days before the file's last day that the file lacks: "The output
// data hold days before the end of site.wth that it does not have, the
// first 2011 / 60: they are not appended."
std::string earlierDaysMessage(std::string_view fileName, int year, int dayOfYear);
std::string noDataRowsMessage(std::string_view fileName);
// A line of the weather file that is no day (year 0 or below, an end mark)
// would be lost by an update: refused, naming it.
std::string lineWouldBeLostMessage(std::size_t lineNumber, std::string_view fileName, std::string_view line);
std::string notARegularFileMessage(std::string_view fileName);
std::string waitingForUpdateMessage(std::string_view fileName, std::chrono::milliseconds wait);
std::string updateStillRunningMessage(std::string_view fileName, std::chrono::milliseconds wait);
std::string changedDuringUpdateMessage(std::string_view fileName);
std::string lineTooLongMessage(std::size_t lineNumber, std::string_view fileName);

// Before the first update of a program start that a task-2 run did not
// begin, the user is told what the output panel must hold; once.
void showFirstUpdateNotice(int task, bool& noticePending, UserFeedback& ui);

// The line (0-based) where the new data begin in the output panel's
// `lines`: the first two rows of one year in date order (blank lines
// between them passed over), extended upwards over rows whose dates run
// day by day into them. Only lines that
// read as a year and a day of that year count as rows, so no header line is
// taken for data and a 31 December row above 1 January is kept.
std::optional<std::size_t> firstNewDataRow(const std::vector<std::string_view>& lines);

// Where a task-2 run's own output begins its data: after the input's first
// row (when it had rows before the data), the names and the units.
constexpr std::size_t runOutputDataStart(int rowsBefore) { return rowsBefore >= 1 ? 3 : 2; }

enum class UpdateResult {
    Updated,   // the file holds the new days, its previous content is in .old
    NotNeeded, // no new day after the file's last one
    Declined,  // the gap question was answered No
    Earlier,   // new days before the file's last day, not in it: not appended
    Failed,    // the new data could not be placed; the user was told
};

struct UpdateSettings {
    // Where the new data's rows begin, when the run converted them itself
    // and so knows; otherwise they are searched for.
    std::optional<std::size_t> newDataStart;
    // How long to wait for another update of the same file to finish.
    std::chrono::milliseconds lockWait{std::chrono::seconds(60)};
    // With no day after the file's last one, tell days the file lacks
    // (an earlier month) from days it has, instead of finding no need.
    bool findEarlierDays = false;
};

// Appends the days of the new data that follow the last day of the weather
// file `existing`, keeping its previous content as `existing`.old. Every
// line of the file keeps its text; only line ends become CR LF, and blank
// lines at its end go. The file is locked against other updates for the
// whole update, and is replaced only if no other program changed it
// meanwhile. Tells the user through `ui`. A row that cannot be read or
// dated, or a file step that fails, throws Error with a message naming it;
// the existing file is then untouched. Once the file has been read,
// `writeNewData` writes the new data to the work file workfile::kForUpdate
// in `folder` as savePanelText writes panel text; they are read from there
// a line at a time, so memory stays flat however many days they hold.
using NewDataWriter = std::function<void(const std::filesystem::path& workFile)>;
UpdateResult updateWeatherFileFromWorkFile(const std::filesystem::path& existing, const NewDataWriter& writeNewData,
                                           const AppFolder& folder, UserFeedback& ui,
                                           FileOperations& ops = systemFileOperations(),
                                           const UpdateSettings& settings = {});

// The same for `newData`, the output panel's text, which savePanelText
// writes to the work file.
UpdateResult updateWeatherFile(const std::filesystem::path& existing, std::string_view newData,
                               const AppFolder& folder, UserFeedback& ui,
                               FileOperations& ops = systemFileOperations(),
                               const UpdateSettings& settings = {});

} // namespace pluvora
