#pragma once

#include "engine/columns/columnspec.h"
#include "engine/methods/referencefit.h"
#include "engine/provenance/spillableslots.h"
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
    // Days a batch run keeps in memory before the rest go to its scratch
    // folder: its memory stays flat however long the input is.
    static constexpr std::size_t kDaysInMemory = 65536;
    // Missing-value rows kept with their text; the rest are counted.
    static constexpr std::size_t kMostMissingRows = 2000;

    RunProvenance() { resetSlots(); }

    // One chart or flags-file column: a measured column of the input, or
    // the value the task estimated.
    struct Series {
        int code = 0;          // variable code
        std::string name;      // as the variable list shows it
        std::string unit;      // unit text of the column, or of the estimate
        int column = 0;        // 1-based input column; 0 for the estimate
        bool estimated = false;
    };

    enum class Mark : std::uint8_t { Measured, Missing, Substituted, Estimated, Interpolated, FromReference };

    // A run of missing days of one variable that a fill found, and how it
    // was filled: 'I' interpolated, 'R' from the reference, 0 not at all.
    struct Gap {
        int code = 0;
        long long firstDay = 0; // days since 1970-01-01
        int days = 0;
        char how = 0;
    };
    // The reference's correction of one variable in one calendar month.
    struct MonthFit {
        int code = 0;
        int month = 0; // 1 to 12
        int months = 1; // the days it rests on: of this month, of 3 around it, or of 12
        ReferenceFit fit;
        std::string refused; // why the month is not used; empty when it is
    };

    // Packed: a run keeps one per day of the input.
    struct Day {
        int year = 0;
        int dayOfYear = 0;
        std::int16_t month = 0;        // 0 when the input has no calendar date
        std::int16_t dayOfMonth = 0;
        int inputLine = 0;             // 1-based line of the input panel
        std::uint32_t substituted = 0; // bit per series
        std::uint32_t flagged = 0;     // bit per series
        std::uint32_t interpolated = 0; // bit per series
        std::uint32_t fromReference = 0; // bit per series
        // Why the checkup lists the day, as RunProvenance::reason tells it:
        // few texts recur over many days, so each is held once.
        std::uint16_t reasonIndex = 0; // 0: the checkup does not list it
    };

    // Rows the missing-value check reported: they never became days.
    struct MissingRow {
        int inputLine = 0;
        std::string text;
    };

    // Days beyond `days` go to a file in `folder` and are read back from
    // it; set before the run. Without it every day stays in memory.
    void spillTo(const std::filesystem::path& folder, std::size_t days = kDaysInMemory);

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
    // `how` is Interpolated or FromReference.
    void noteFilled(std::size_t record, int column, Mark how);
    void noteFillAccount(std::vector<Gap> gaps, std::vector<MonthFit> fits)
    {
        mGaps = std::move(gaps);
        mFits = std::move(fits);
    }
    const std::vector<Gap>& gaps() const { return mGaps; }
    const std::vector<MonthFit>& fits() const { return mFits; }
    void noteMissingRow(std::size_t record, std::string_view text);
    // `flaggedCodes` has bit (1 << code) for each variable a test named;
    // a date fault names none and flags the whole day.
    void noteDay(std::size_t record, const Record& values, int year, int dayOfYear, std::string_view reason,
                 std::uint32_t flaggedCodes);
    void noteEstimate(std::size_t record, double value);
    // An estimate the checkup has not yet let through: held with its day,
    // and noted by keepEstimates once the pass is over, so a long run needs
    // no list of them.
    void holdEstimate(std::size_t record, double value);
    // The first `count` held estimates become their days' values.
    void keepEstimates(std::size_t count);

    const std::vector<Series>& series() const { return mSeries; }
    std::size_t dayCount() const { return mDayCount; }
    // A copy: a long run's days are not all in memory.
    Day day(std::size_t index) const;
    // The first kMostMissingRows of them; missingRowCount() counts all.
    const std::vector<MissingRow>& missingRows() const { return mMissingRows; }
    std::size_t missingRowCount() const { return mMissingRowCount; }
    int task() const { return mTask; }
    // The day's value of a series; NaN when it has none.
    double value(std::size_t series, std::size_t day) const;
    Mark mark(std::size_t series, std::size_t day) const;
    // The same for a day already read and the series' value on it.
    Mark mark(std::size_t series, const Day& day, double value) const;
    bool flagged(std::size_t series, std::size_t day) const;
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
    // Each record's slot: its Day, its input line, then a double per
    // series. Bits of substitutions and fills land in the Day before the
    // day itself is noted.
    struct SlotHead {
        Day day;
        std::int32_t line = 0;
        double heldEstimate = 0;
    };
    static constexpr std::size_t kValuesAt = (sizeof(SlotHead) + 7) / 8 * 8;
    SlotHead head(std::size_t record) const;
    void putHead(std::size_t record, const SlotHead& head);
    void putValue(std::size_t record, std::size_t series, double value);
    void resetSlots();

    std::vector<Series> mSeries;
    int mTask = 0;
    int mEstimateSeries = -1;
    std::size_t mLineCount = 0; // records whose input line is known
    std::size_t mDayCount = 0;
    bool mAnyDayListed = false;
    SpillableSlots mSlots;
    std::vector<Gap> mGaps;
    std::vector<MonthFit> mFits;
    std::vector<MissingRow> mMissingRows;
    std::size_t mMissingRowCount = 0;
    std::vector<std::string> mReasons;
};

} // namespace pluvora
