#pragma once

#include "engine/stage/runcontext.h"
#include "engine/stage/stagemessages.h"

#include <filesystem>
#include <memory>
#include <string>

namespace pluvora {

inline constexpr const char* kCheckingPass = "Checking the data";
inline constexpr const char* kCheckupReportTitle = "Report of weather data checkup.";
inline constexpr const char* kCheckupReportEditHint = "Input data can be edited directly in the input data panel.";
// The most of a checkup report the output panel holds; a longer report ends
// with kCheckupReportCut.
inline constexpr std::size_t kLargestCheckupReport = std::size_t{32} << 20;
inline constexpr const char* kCheckupReportCut =
    "The report is cut here: it is longer than 32 MB. Mend the rows above and run the checkup again.";

// The report file as panel text, held only up to `limit` bytes (whole
// lines) and then ended by kCheckupReportCut: a file where every row is
// suspicious would otherwise be held whole.
std::string loadCheckupReport(const std::filesystem::path& path, std::size_t limit = kLargestCheckupReport);
inline constexpr const char* kCheckupHeadingDoy = "Suspicious data are spotted on (year / DOY):";
inline constexpr const char* kCheckupHeadingCalendar = "Suspicious data are spotted on (year / month / day):";

inline constexpr const char* kDataErrorsSpottedTask3 = "Data erros are spotted!";
inline constexpr const char* kDataErrorsSpotted = "Data erros are spotted. Correct them and process again.";
inline constexpr const char* kNoSuspiciousData = "No suspicious data are spotted.";

inline constexpr const char* kTemperatureUnitsMustMatch = "Unit of Tmax and Tmin should be the same.";
inline constexpr const char* kWrongDoy = "Input of DOY (day of year) is wrong.";
// The reason a listed day gets when the file skips the days before it.
inline constexpr const char* kDaysMissingBefore = "days missing before it";
inline constexpr const char* kDateIncomplete =
    "This function requires date (either by year and DOY, or by year, month and day). "
    "However the date information is not complete.";

// The checkup's test of one record after another, for a pass that screens
// records as it reads them. Holds only the date of the record before.
class CheckupScreen {
public:
    explicit CheckupScreen(const RunContext& run);
    ~CheckupScreen();
    CheckupScreen(const CheckupScreen&) = delete;
    CheckupScreen& operator=(const CheckupScreen&) = delete;
    // False when the checkup would list the record or stop on it. A record
    // that passes is noted in `provenance`, when given, as day `index`, and
    // its day of the year, as the checkup read it, goes to `dayOfYear`.
    bool passes(const Record& record, RunProvenance* provenance = nullptr, std::size_t index = 0,
                int* dayOfYear = nullptr);

private:
    struct State;
    std::unique_ptr<State> mState;
};

// Takes each record of the checkup's pass until the checkup finds one
// suspicious, so that a task works on the records as they are read.
class CheckedRecords {
public:
    virtual ~CheckedRecords() = default;
    // Record `index` (from 0) passed; must not throw.
    virtual void take(const Record& record, long index) = 0;
};

// Screens every record for impossible dates and implausible values and
// writes the dates of suspicious records to "Output.~". Stops the run when
// it finds any, and always for task 3. Records that pass before any is
// suspicious go to `follower`, when given.
void dataCheckup(RunContext& run, CheckedRecords* follower = nullptr);

} // namespace pluvora
