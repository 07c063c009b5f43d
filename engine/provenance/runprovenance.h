#pragma once

#include "engine/columns/columnspec.h"
#include "engine/record/record.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// Where each day's value of each variable came from, as a run found it:
// the one source for the charts, the quality report and the flags file. A
// run fills it only when one is handed to it, so a run nobody asks about
// pays nothing.
class RunProvenance {
public:
    // One chart or flags-file column: a measured column of the input, or
    // the value the task estimated.
    struct Series {
        int code = 0;          // variable code
        std::string name;      // as the variable list shows it
        std::string unit;      // unit text of the column, or of the estimate
        int column = 0;        // 1-based input column; 0 for the estimate
        bool estimated = false;
    };

    enum class Mark : std::uint8_t { Measured, Missing, Substituted, Estimated };

    // Packed: a run keeps one per day of the input.
    struct Day {
        int year = 0;
        int dayOfYear = 0;
        std::int16_t month = 0;        // 0 when the input has no calendar date
        std::int16_t dayOfMonth = 0;
        int inputLine = 0;             // 1-based line of the input panel
        std::uint32_t substituted = 0; // bit per series
        std::uint32_t flagged = 0;     // bit per series
        // Why the checkup lists the day, as RunProvenance::reason tells it:
        // few texts recur over many days, so each is held once.
        std::uint16_t reasonIndex = 0; // 0: the checkup does not list it
    };

    // Rows the missing-value check reported: they never became days.
    struct MissingRow {
        int inputLine = 0;
        std::string text;
    };

    // Filled by the run, in this order.
    void describe(const ColumnSpec& columns, int columnCount, int task);
    void mapInputLines(const std::filesystem::path& input, int rowsBefore);
    // One record's input line, for a run that reads the lines itself; in
    // record order, in place of mapInputLines.
    void noteRecordLine(std::size_t record, int inputLine);
    // Back to no days, keeping the series: a pass that gave up hands the
    // input to the stages, which count again.
    void clearDays();
    void noteSubstituted(std::size_t record, int column);
    void noteMissingRow(std::size_t record, std::string_view text);
    // `flaggedCodes` has bit (1 << code) for each variable a test named;
    // a date fault names none and flags the whole day.
    void noteDay(std::size_t record, const Record& values, int year, int dayOfYear, std::string_view reason,
                 std::uint32_t flaggedCodes);
    void noteEstimate(std::size_t record, double value);

    const std::vector<Series>& series() const { return mSeries; }
    const std::vector<Day>& days() const { return mDays; }
    const std::vector<MissingRow>& missingRows() const { return mMissingRows; }
    int task() const { return mTask; }
    // The day's value of a series; NaN when it has none.
    double value(std::size_t series, std::size_t day) const;
    Mark mark(std::size_t series, std::size_t day) const;
    bool flagged(std::size_t series, std::size_t day) const
    {
        return (mDays[day].flagged >> series) & 1u;
    }
    bool anyFlagged() const;
    // Days since 1970-01-01 of a day's date, for axes and gaps.
    static long long dayNumber(const Day& day);
    // "1998-02-14".
    static std::string isoDate(const Day& day);
    int inputLineOfRecord(std::size_t record) const;
    // Why the checkup lists the day; empty if it does not.
    std::string_view reason(const Day& day) const
    {
        return day.reasonIndex == 0 ? std::string_view() : std::string_view(mReasons[day.reasonIndex - 1]);
    }

private:
    std::uint32_t packValue(double value);
    double unpackValue(std::uint32_t packed) const;

    std::vector<Series> mSeries;
    int mTask = 0;
    int mEstimateSeries = -1;
    std::vector<int> mLineOfRecord;
    std::vector<std::uint32_t> mPendingSubstituted; // by record, before its day is dated
    std::vector<Day> mDays;
    // Day-major, one per series, each packed in 4 bytes (see packValue).
    std::vector<std::uint32_t> mValues;
    std::vector<double> mWideValues; // those a packed value cannot hold exactly
    std::vector<MissingRow> mMissingRows;
    std::vector<std::string> mReasons;
};

} // namespace pluvora
