#include "engine/provenance/runprovenance.h"

#include "engine/io/textreader.h"
#include "engine/record/calendar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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
}

void RunProvenance::mapInputLines(const std::filesystem::path& input, int rowsBefore)
{
    // Every stage reads a record from each line holding any value and
    // passes over the others; cleaning keeps lines where they were.
    mLineOfRecord.clear();
    TextReader reader(input);
    std::string line;
    int number = 0;
    while (reader.readLine(line)) {
        if (++number <= rowsBefore)
            continue;
        for (const char c : line)
            if (static_cast<unsigned char>(c) > 32) {
                mLineOfRecord.push_back(number);
                break;
            }
    }
}

void RunProvenance::noteRecordLine(std::size_t record, int inputLine)
{
    if (record == mLineOfRecord.size())
        mLineOfRecord.push_back(inputLine);
}

void RunProvenance::clearDays()
{
    mLineOfRecord.clear();
    mPendingSubstituted.clear();
    mPendingInterpolated.clear();
    mPendingFromReference.clear();
    mGaps.clear();
    mFits.clear();
    mDays.clear();
    mValues.clear();
    mWideValues.clear();
    mMissingRows.clear();
}

int RunProvenance::inputLineOfRecord(std::size_t record) const
{
    return record < mLineOfRecord.size() ? mLineOfRecord[record] : 0;
}

void RunProvenance::noteSubstituted(std::size_t record, int column)
{
    for (std::size_t s = 0; s < mSeries.size(); ++s)
        if (mSeries[s].column == column) {
            if (mPendingSubstituted.size() <= record)
                mPendingSubstituted.resize(record + 1, 0);
            mPendingSubstituted[record] |= 1u << s;
        }
}

void RunProvenance::noteFilled(std::size_t record, int column, Mark how)
{
    auto& pending = how == Mark::Interpolated ? mPendingInterpolated : mPendingFromReference;
    for (std::size_t s = 0; s < mSeries.size(); ++s)
        if (mSeries[s].column == column) {
            if (pending.size() <= record)
                pending.resize(record + 1, 0);
            pending[record] |= 1u << s;
        }
}

void RunProvenance::noteMissingRow(std::size_t record, std::string_view text)
{
    mMissingRows.push_back({inputLineOfRecord(record), std::string(text)});
}

// A value read from a file has a few decimals: it is kept as the integer
// it is at some power of ten, in half the room of a double, when dividing
// that integer by the power gives the very same double back. Layout:
// 0xFFFFFFFF no value; top bit set: index into mWideValues; otherwise the
// integer, offset by kPackOffset, above three bits of the power.
constexpr std::uint32_t kPackedNone = 0xFFFFFFFFu;
constexpr std::uint32_t kPackedWide = 0x80000000u;
constexpr long long kPackOffset = 1LL << 27;
constexpr double kPowersOfTen[] = {1, 10, 100, 1000, 10000};

std::uint32_t RunProvenance::packValue(double value)
{
    if (std::isnan(value))
        return kPackedNone;
    if (!(value == 0 && std::signbit(value)) && std::abs(value) < 1e7)
        for (std::uint32_t decimals = 0; decimals < std::size(kPowersOfTen); ++decimals) {
            const long long whole = std::llround(value * kPowersOfTen[decimals]);
            if (whole >= -kPackOffset && whole < kPackOffset
                && static_cast<double>(whole) / kPowersOfTen[decimals] == value)
                return static_cast<std::uint32_t>(whole + kPackOffset) << 3 | decimals;
        }
    mWideValues.push_back(value);
    return kPackedWide | static_cast<std::uint32_t>(mWideValues.size() - 1);
}

double RunProvenance::unpackValue(std::uint32_t packed) const
{
    if (packed == kPackedNone)
        return kNone;
    if (packed & kPackedWide)
        return mWideValues[packed & ~kPackedWide];
    return static_cast<double>(static_cast<long long>(packed >> 3) - kPackOffset) / kPowersOfTen[packed & 7];
}

void RunProvenance::noteDay(std::size_t record, const Record& values, int year, int dayOfYear,
                            std::string_view reason, std::uint32_t flaggedCodes)
{
    if (record != mDays.size())
        return;
    Day day;
    day.year = year;
    day.dayOfYear = dayOfYear;
    if (values.month > 0 && values.day > 0) {
        day.month = static_cast<std::int16_t>(values.month);
        day.dayOfMonth = static_cast<std::int16_t>(values.day);
    }
    day.inputLine = inputLineOfRecord(record);
    day.substituted = record < mPendingSubstituted.size() ? mPendingSubstituted[record] : 0;
    day.interpolated = record < mPendingInterpolated.size() ? mPendingInterpolated[record] : 0;
    day.fromReference = record < mPendingFromReference.size() ? mPendingFromReference[record] : 0;
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
    }
    for (std::size_t s = 0; s < mSeries.size(); ++s) {
        const bool named = (flaggedCodes >> mSeries[s].code) & 1u;
        if (!reason.empty() && (flaggedCodes == 0 || (named && !mSeries[s].estimated)))
            day.flagged |= 1u << s;
        mValues.push_back(packValue(mSeries[s].estimated ? kNone : fieldOf(values, mSeries[s].code)));
    }
    mDays.push_back(std::move(day));
}

void RunProvenance::noteEstimate(std::size_t record, double value)
{
    if (mEstimateSeries < 0 || record >= mDays.size())
        return;
    mValues[record * mSeries.size() + static_cast<std::size_t>(mEstimateSeries)] = packValue(value);
}

double RunProvenance::value(std::size_t series, std::size_t day) const
{
    return unpackValue(mValues[day * mSeries.size() + series]);
}

RunProvenance::Mark RunProvenance::mark(std::size_t series, std::size_t day) const
{
    if (mSeries[series].estimated)
        return std::isnan(value(series, day)) ? Mark::Missing : Mark::Estimated;
    if ((mDays[day].substituted >> series) & 1u)
        return Mark::Substituted;
    if ((mDays[day].interpolated >> series) & 1u)
        return Mark::Interpolated;
    if ((mDays[day].fromReference >> series) & 1u)
        return Mark::FromReference;
    return std::isnan(value(series, day)) ? Mark::Missing : Mark::Measured;
}

bool RunProvenance::anyFlagged() const
{
    if (!mMissingRows.empty())
        return true;
    for (const Day& day : mDays)
        if (day.reasonIndex != 0)
            return true;
    return false;
}

long long RunProvenance::dayNumber(const Day& day)
{
    if (day.month > 0)
        return daysFromCivil(day.year, static_cast<unsigned>(day.month), static_cast<unsigned>(day.dayOfMonth));
    return daysFromCivil(day.year, 1, 1) + day.dayOfYear - 1;
}

std::string RunProvenance::isoDate(const Day& day) { return dateText(dayNumber(day)); }

} // namespace pluvora
