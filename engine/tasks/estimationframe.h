#pragma once

#include "engine/io/numbertext.h"
#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"
#include "engine/methods/methodresult.h"
#include "engine/provenance/runprovenance.h"
#include "engine/stage/recordreader.h"
#include "engine/stage/runcontext.h"
#include "engine/tasks/datacheckup.h"
#include "engine/tasks/convertrearrange.h"

#include <exception>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

inline constexpr const char* kEstimatingPass = "Estimating";
inline constexpr const char* kRequiredDataMissing = "One of the required data is not given.";

// "'x' is not a valid floating point value": a box that should hold a number.
std::string notAFloatMessage(std::string_view text);

// A number typed into a task page box; throws Error naming the text when it
// is not one.
double decimalFromBox(std::string_view text);

// A latitude typed into a task page box, in radians. Throws Error naming
// the text when it is not a number, or not one from -90 to 90: the sun's
// geometry past the poles gives numbers that mean nothing.
double latitudeFromBox(std::string_view text);

// "Latitude must be from -90 to 90 degrees: '100'".
std::string latitudeOutOfRangeMessage(std::string_view text);

// A whole number typed into a task page box (leading blanks and a sign
// allowed); throws Error naming the text when it is not one.
int integerFromBox(std::string_view text);

// Converts the texts the selected task will read from its page, so that a
// text that is not a number stops the run before any working file is
// written. Empty boxes are left to the input checks and the task itself.
void checkTaskPageTexts(const RunContext& run);

// True when every variable of `codes` has one of the twelve columns;
// otherwise fails the run with kRequiredDataMissing and keeps the first
// variable without a column in run.missingVariable. An estimate made of
// variables without a column would be made of zeros.
bool requireColumns(RunContext& run, std::initializer_list<int> codes);

// Which column kRequiredDataMissing is about: "no column is set to "RelHum"".
std::string missingColumnNote(int code);

// The record's DOY when it is 1 or more, else the day of the year of its
// calendar date; nothing when the record has neither.
std::optional<int> recordDayOfYear(const Record& record);

// "No value can be estimated for input line 14, date 1993 / 355: ...";
// "day of year 355" instead of the date when the record has no year.
std::string noValueReport(int inputLine, int year, int dayOfYear, methods::NoValueReason reason);

// Why day J at latitude phi (radians) gives no estimate, or None. A day
// whose sun only touches the horizon has no length and no radiation: like a
// polar day or night, nothing can be estimated from it.
methods::NoValueReason sunlessDay(int J, double phi);

// sunlessDay for one latitude, worked out once per day of the year: the
// solar geometry is the same for every year of a long record.
class SunlessDays {
public:
    explicit SunlessDays(double phi) : mPhi(phi) {}
    methods::NoValueReason operator()(int J)
    {
        if (J < 1 || J > 366)
            return sunlessDay(J, mPhi);
        auto& slot = mKnown[static_cast<std::size_t>(J)];
        if (!slot)
            slot = sunlessDay(J, mPhi);
        return *slot;
    }

private:
    double mPhi;
    std::optional<methods::NoValueReason> mKnown[367] = {};
};

// The column the estimate becomes when the result is rearranged.
enum class EstimateColumn { Solar, Et };

// How a task estimates a record: `estimate(record, J)` gives the value or
// why there is none; J is 0 when `datesNeeded` is false.
struct Estimation {
    int decimals = 1;
    bool datesNeeded = true;
    std::function<methods::MethodResult<double>(const Record&, int)> estimate;
};

// First pass of an estimation task: one estimate per record written to
// "Out.~" with the estimation's decimals, up to the first record without a
// date or a value. Follows the checkup's pass, so that each record is
// parsed once; finish() tells the run what it found.
class EstimatesInPass final : public CheckedRecords {
public:
    EstimatesInPass(RunContext& run, Estimation estimation);
    void take(const Record& record, long index) override;
    // False once a record has stopped it.
    bool going() const { return !mFailure && !mError; }
    // A record without a date or a value stops the run: nothing stands in
    // for a value that could not be estimated, and so do data without any
    // record, which would leave a result with no estimate in it. False when
    // the run was stopped.
    bool finish();

private:
    RunContext& mRun;
    Estimation mEstimation;
    TextWriter mOut;
    long mCount = 0;
    std::optional<std::string> mFailure;
    std::exception_ptr mError;
    // Held in the run's provenance, and noted only once the checkup has
    // passed them.
    std::size_t mHeld = 0;
};

// Second pass, gauged: "Output.~" starts with `description` and continues with the
// header rows of "Input.~" (a row of its own when there are none, which
// makes one header row); then either each data line with a tab and its
// estimate from "Out.~", or, when rearranging, the lines unchanged handed
// on to the weather-file conversion with the estimate as `column`.
void writeEstimationOutput(RunContext& run, std::string_view description, EstimateColumn column);

} // namespace pluvora
