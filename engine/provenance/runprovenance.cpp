#include "engine/provenance/runprovenance.h"

#include "engine/io/textreader.h"
#include "engine/record/calendar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace pluvora {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

double fieldOf(const Record& r, int code)
{
    switch (code) {
    case kSolar: return r.solar;
    case kTmax: return r.tmax;
    case kTmin: return r.tmin;
    case kPrecip: return r.precip;
    case kRelHum: return r.relHum;
    case kWndSpd: return r.wndSpd;
    case kSoilT: return r.soilT;
    case kEt: return r.et;
    case kPanEvap: return r.panEvap;
    case kSunHr: return r.sunHr;
    case kSunHrPercent: return r.sunHrPercent;
    case kDewPt: return r.dewPt;
    case kVapPr: return r.vapPr;
    default: return kNone;
    }
}

} // namespace

void RunProvenance::describe(const ColumnSpec& columns, int columnCount, int task)
{
    mSeries.clear();
    mTask = task;
    for (int column = 1; column <= columnCount; ++column) {
        const int code = columns.columnVariable[static_cast<std::size_t>(column)];
        if (!isMeasured(code))
            continue;
        mSeries.push_back({code, std::string(variableInfo(code).item), columns.unit(code), column, false});
    }
    // Tasks 4 and 5 estimate solar radiation, 6 and 7 ET, in the units
    // their results are written in.
    if (task >= 4 && task <= 7) {
        const int code = task <= 5 ? kSolar : kEt;
        mEstimateSeries = static_cast<int>(mSeries.size());
        mSeries.push_back({code, std::string(variableInfo(code).item), task <= 5 ? "MJ/m2/d" : "mm", 0, true});
    }
    resetSlots();
}

void RunProvenance::spillTo(const std::filesystem::path& folder, std::size_t days)
{
    mSlots.spillBeyond(days, folder);
}

void RunProvenance::resetSlots()
{
    mSlots.reset(kValuesAt + sizeof(double) * mSeries.size());
    mLineCount = 0;
    mDayCount = 0;
    mAnyDayListed = false;
}

RunProvenance::SlotHead RunProvenance::head(std::size_t record) const
{
    SlotHead h;
    std::memcpy(&h, mSlots.slot(record), sizeof h);
    return h;
}

void RunProvenance::putHead(std::size_t record, const SlotHead& h)
{
    std::memcpy(mSlots.slot(record), &h, sizeof h);
}

void RunProvenance::putValue(std::size_t record, std::size_t series, double value)
{
    std::memcpy(mSlots.slot(record) + kValuesAt + series * sizeof(double), &value, sizeof value);
}

void RunProvenance::mapInputLines(const std::filesystem::path& input, int rowsBefore)
{
    // Every stage reads a record from each line holding any value and
    // passes over the others; cleaning keeps lines where they were.
    mLineCount = 0;
    TextReader reader(input);
    std::string line;
    int number = 0;
    while (reader.readLine(line)) {
        if (++number <= rowsBefore)
            continue;
        for (const char c : line)
            if (static_cast<unsigned char>(c) > 32) {
                noteRecordLine(mLineCount, number);
                break;
            }
    }
}

void RunProvenance::noteRecordLine(std::size_t record, int inputLine)
{
    if (record != mLineCount)
        return;
    SlotHead h = head(record);
    h.line = inputLine;
    putHead(record, h);
    ++mLineCount;
}

void RunProvenance::clearDays()
{
    resetSlots();
    mGaps.clear();
    mFits.clear();
    mMissingRows.clear();
    mMissingRowCount = 0;
}

int RunProvenance::inputLineOfRecord(std::size_t record) const
{
    return record < mLineCount ? head(record).line : 0;
}

void RunProvenance::noteSubstituted(std::size_t record, int column)
{
    // Only a day not yet noted takes it, as it is read when the day is.
    if (record < mDayCount)
        return;
    for (std::size_t s = 0; s < mSeries.size(); ++s)
        if (mSeries[s].column == column) {
            SlotHead h = head(record);
            h.day.substituted |= 1u << s;
            putHead(record, h);
        }
}

void RunProvenance::noteFilled(std::size_t record, int column, Mark how)
{
    if (record < mDayCount)
        return;
    for (std::size_t s = 0; s < mSeries.size(); ++s)
        if (mSeries[s].column == column) {
            SlotHead h = head(record);
            (how == Mark::Interpolated ? h.day.interpolated : h.day.fromReference) |= 1u << s;
            putHead(record, h);
        }
}

void RunProvenance::noteMissingRow(std::size_t record, std::string_view text)
{
    if (mMissingRowCount++ < kMostMissingRows)
        mMissingRows.push_back({inputLineOfRecord(record), std::string(text)});
}

void RunProvenance::noteDay(std::size_t record, const Record& values, int year, int dayOfYear,
                            std::string_view reason, std::uint32_t flaggedCodes)
{
    if (record != mDayCount)
        return;
    SlotHead h = head(record);
    Day& day = h.day;
    day.year = year;
    day.dayOfYear = dayOfYear;
    if (values.month > 0 && values.day > 0) {
        day.month = static_cast<std::int16_t>(values.month);
        day.dayOfMonth = static_cast<std::int16_t>(values.day);
    }
    day.inputLine = inputLineOfRecord(record);
    if (!reason.empty()) {
        // The texts combine a fixed set of tests; the last one used is the
        // likeliest match.
        auto held = std::find(mReasons.rbegin(), mReasons.rend(), reason);
        if (held == mReasons.rend() && mReasons.size() < 0xFFFF) {
            mReasons.emplace_back(reason);
            held = mReasons.rbegin();
        }
        // Past 65535 texts, more than the checkup's combinations of tests
        // make, a day keeps the last one held.
        day.reasonIndex = static_cast<std::uint16_t>(held == mReasons.rend() ? mReasons.size()
                                                                              : mReasons.rend() - held);
        mAnyDayListed = true;
    }
    for (std::size_t s = 0; s < mSeries.size(); ++s) {
        const bool named = (flaggedCodes >> mSeries[s].code) & 1u;
        if (!reason.empty() && (flaggedCodes == 0 || (named && !mSeries[s].estimated)))
            day.flagged |= 1u << s;
        putValue(record, s, mSeries[s].estimated ? kNone : fieldOf(values, mSeries[s].code));
    }
    putHead(record, h);
    ++mDayCount;
}

void RunProvenance::noteEstimate(std::size_t record, double value)
{
    if (mEstimateSeries < 0 || record >= mDayCount)
        return;
    putValue(record, static_cast<std::size_t>(mEstimateSeries), value);
}

void RunProvenance::holdEstimate(std::size_t record, double value)
{
    if (mEstimateSeries < 0)
        return;
    SlotHead h = head(record);
    h.heldEstimate = value;
    putHead(record, h);
}

void RunProvenance::keepEstimates(std::size_t count)
{
    for (std::size_t record = 0; record < count && record < mDayCount; ++record)
        noteEstimate(record, head(record).heldEstimate);
}

RunProvenance::Day RunProvenance::day(std::size_t index) const { return head(index).day; }

double RunProvenance::value(std::size_t series, std::size_t day) const
{
    double v;
    std::memcpy(&v, mSlots.slot(day) + kValuesAt + series * sizeof(double), sizeof v);
    return v;
}

bool RunProvenance::flagged(std::size_t series, std::size_t day) const
{
    return (head(day).day.flagged >> series) & 1u;
}

RunProvenance::Mark RunProvenance::mark(std::size_t series, std::size_t day) const
{
    return mark(series, head(day).day, value(series, day));
}

RunProvenance::Mark RunProvenance::mark(std::size_t series, const Day& d, double v) const
{
    if (mSeries[series].estimated)
        return std::isnan(v) ? Mark::Missing : Mark::Estimated;
    if ((d.substituted >> series) & 1u)
        return Mark::Substituted;
    if ((d.interpolated >> series) & 1u)
        return Mark::Interpolated;
    if ((d.fromReference >> series) & 1u)
        return Mark::FromReference;
    return std::isnan(v) ? Mark::Missing : Mark::Measured;
}

bool RunProvenance::anyFlagged() const { return mMissingRowCount > 0 || mAnyDayListed; }

long long RunProvenance::dayNumber(const Day& day)
{
    if (day.month > 0)
        return daysFromCivil(day.year, static_cast<unsigned>(day.month), static_cast<unsigned>(day.dayOfMonth));
    return daysFromCivil(day.year, 1, 1) + day.dayOfYear - 1;
}

std::string RunProvenance::isoDate(const Day& day) { return dateText(dayNumber(day)); }

} // namespace pluvora
