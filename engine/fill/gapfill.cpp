#include "engine/fill/gapfill.h"

#include "engine/columns/cataloguenames.h"
#include "engine/io/numbertext.h"
#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"
#include "engine/methods/referencefit.h"
#include "engine/provenance/runprovenance.h"
#include "engine/record/calendar.h"
#include "engine/stage/recordreader.h"
#include "engine/table/paneltext.h"
#include "engine/tasks/missingvalues.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace pluvora {

FillSettings defaultInterpolation()
{
    FillSettings settings;
    settings.interpolate = true;
    settings.longestInterpolated[kTmax] = 3;
    settings.longestInterpolated[kTmin] = 3;
    settings.longestInterpolated[kRelHum] = 2;
    settings.longestInterpolated[kWndSpd] = 2;
    settings.longestInterpolated[kSolar] = 2;
    return settings;
}

std::optional<std::string> setInterpolationLimits(FillSettings& settings, std::string_view text)
{
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const auto equals = item.find('=');
        if (equals == std::string_view::npos)
            return "\"" + std::string(item) + "\" is not VARIABLE=DAYS, e.g. T-max=5";
        const std::string_view name = item.substr(0, equals);
        const auto code = findVariable(name);
        if (!code || !isMeasured(*code))
            return "\"" + std::string(name) + "\" is not a measured variable";
        if (*code == kPrecip)
            return "rain is never interpolated: a day's rain says nothing of the next day's; "
                   "fill it from a reference";
        const auto days = parseInteger(item.substr(equals + 1));
        if (!days || *days < 0 || *days > 366)
            return "\"" + std::string(item.substr(equals + 1)) + "\" is not a number of days from 0 to 366";
        settings.longestInterpolated[static_cast<std::size_t>(*code)] = *days;
    }
    settings.interpolate = true;
    return std::nullopt;
}

namespace {

std::string isoDate(long long day) { return dateText(day); }

int monthOf(long long day)
{
    long long y = 0;
    unsigned m = 0, d = 0;
    civilFromDays(day, y, m, d);
    return static_cast<int>(m);
}

// Rain and radiation are corrected by a ratio: their zero is the same zero
// everywhere.
bool ratioVariable(int code) { return code == kPrecip || code == kSolar || code == kSunHr || code == kPanEvap; }

// Values that cannot be below zero, whatever a line or a correction gives.
bool neverNegative(int code)
{
    return code == kPrecip || code == kSolar || code == kRelHum || code == kWndSpd || code == kEt
           || code == kPanEvap || code == kSunHr || code == kSunHrPercent || code == kVapPr;
}

// The fewest days measured in both that a month's correction rests on.
constexpr long kLeastFitDays = 30;

struct Row {
    std::vector<std::string_view> tokens;
    std::vector<double> values;
};

// The tokens of a data row; false for a row that is not one whole record
// of numbers, which the stages after this one report.
bool splitRow(std::string_view line, int columnCount, Row& row)
{
    row.tokens.clear();
    row.values.clear();
    std::size_t i = 0;
    while (static_cast<int>(row.tokens.size()) < columnCount) {
        while (i < line.size() && static_cast<unsigned char>(line[i]) <= 32)
            ++i;
        if (i == line.size())
            break;
        const std::size_t start = i;
        while (i < line.size() && static_cast<unsigned char>(line[i]) > 32)
            ++i;
        const auto token = line.substr(start, i - start);
        const auto value = parseDecimal(token);
        if (!value)
            return false;
        row.tokens.push_back(token);
        row.values.push_back(*value);
    }
    return static_cast<int>(row.tokens.size()) == columnCount;
}

bool blankLine(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

// The row's date as days since 1970, or nothing when its date columns do
// not make one.
std::optional<long long> dayOf(const RunContext& run, const Row& row, bool doyMode)
{
    Record r;
    for (int column = 1; column <= run.columnCount; ++column) {
        const int code = run.columns.columnVariable[static_cast<std::size_t>(column)];
        if (code == kYear || code == kMonth || code == kDay || code == kDoy || code == kYydoy || code == kDate)
            assignValue(r, run.columns, column, row.values[static_cast<std::size_t>(column - 1)]);
    }
    if (r.year <= 0)
        return std::nullopt;
    if (doyMode) {
        if (r.doy < 1 || r.doy > 366 || r.yydoyNotADate || (r.doy == 366 && dayOfYear(r.year, 12, 31) != 366))
            return std::nullopt;
        return daysFromCivil(r.year, 1, 1) + r.doy - 1;
    }
    if (!dayOfYear(r.year, r.month, r.day))
        return std::nullopt;
    return daysFromCivil(r.year, static_cast<unsigned>(r.month), static_cast<unsigned>(r.day));
}

// One run of missing days of one column, with the measured values on
// either side where there are any.
struct Gap {
    int column = 0;
    long long first = 0;
    int days = 0;
    std::optional<double> before;
    std::optional<double> after;
    char how = 0;
    std::string why; // why it is not filled
};

struct ColumnState {
    std::optional<double> last;
    std::optional<Gap> open;
};

class GapFiller {
public:
    GapFiller(RunContext& run, const FillSettings& settings, int sign)
        : mRun(run), mSettings(settings), mSign(sign)
    {
        mDoyMode = run.columns.hasColumn(kDoy, run.columnCount) || run.columns.hasColumn(kYydoy, run.columnCount);
        mState.resize(static_cast<std::size_t>(run.columnCount) + 1);
        mSums.resize(static_cast<std::size_t>(run.columnCount) + 1);
    }

    // The first pass: where the gaps are, and what the reference and the
    // station both measured. False when the rows cannot be filled as they
    // are (a date that cannot be read or goes back).
    bool scan()
    {
        TextReader input(mRun.file(workfile::kInput));
        std::string line;
        int number = 0;
        Row row;
        std::optional<long long> previous;
        while (input.readLine(line)) {
            if (++number <= mRun.rowsBefore || blankLine(line))
                continue;
            // A token that is no number is left to the substitution,
            // which names it; any other row that cannot be dated stops here,
            // as its missing values would otherwise be substituted.
            if (!splitRow(line, mRun.columnCount, row)) {
                if (row.tokens.size() < static_cast<std::size_t>(mRun.columnCount) && !hasNonNumber(line))
                    return stopAt(number, "it has fewer values than columns");
                return false;
            }
            const auto day = dayOf(mRun, row, mDoyMode);
            if (!day)
                return stopAt(number, "its date cannot be read");
            if (previous && *day <= *previous)
                return stopAt(number, "its date does not come after the row before");
            if (previous)
                for (long long absent = *previous + 1; absent < *day; ++absent) {
                    ++mInsertedDays;
                    for (int column = 1; column <= mRun.columnCount; ++column)
                        if (fillable(column))
                            missing(column, absent);
                }
            for (int column = 1; column <= mRun.columnCount; ++column) {
                if (!fillable(column))
                    continue;
                const double value = row.values[static_cast<std::size_t>(column - 1)];
                if (roundsToSign(value, mSign))
                    missing(column, *day);
                else
                    measured(column, *day, value);
            }
            previous = day;
        }
        for (int column = 1; column <= mRun.columnCount; ++column)
            closeGap(column, std::nullopt);
        return true;
    }

    // Decides how each gap is filled; false, with the report in the output
    // panel, when one cannot be.
    bool decide()
    {
        fitMonths();
        bool all = true;
        for (Gap& gap : mGaps) {
            const int code = codeOf(gap.column);
            const int limit = mSettings.interpolate ? mSettings.longestInterpolated[static_cast<std::size_t>(code)] : 0;
            if (code != kPrecip && gap.days <= limit && gap.before && gap.after) {
                gap.how = 'I';
                continue;
            }
            if (mSettings.reference) {
                gap.why = referenceProblem(gap);
                if (gap.why.empty()) {
                    gap.how = 'R';
                    continue;
                }
            } else {
                gap.why = interpolationProblem(gap, code, limit) + "; no reference is given";
            }
            all = false;
        }
        if (!all)
            reportUnfilled();
        return all;
    }

    // The second pass: the rows again, each missing value filled and each
    // absent day inserted.
    void write()
    {
        const auto inputPath = mRun.file(workfile::kInput);
        const auto outputPath = mRun.file(workfile::kOutput);
        std::vector<std::size_t> cursor(static_cast<std::size_t>(mRun.columnCount) + 1, 0);
        // Each column's gaps in the order of their days.
        std::vector<std::vector<const Gap*>> gapsOf(static_cast<std::size_t>(mRun.columnCount) + 1);
        for (const Gap& gap : mGaps)
            gapsOf[static_cast<std::size_t>(gap.column)].push_back(&gap);
        auto filled = [&](int column, long long day, char& how) {
            auto& list = gapsOf[static_cast<std::size_t>(column)];
            auto& at = cursor[static_cast<std::size_t>(column)];
            while (at < list.size() && list[at]->first + list[at]->days <= day)
                ++at;
            const Gap& gap = *list[at];
            how = gap.how;
            return fillValue(gap, day);
        };
        if (mRun.provenance)
            mRun.provenance->clearDays();
        mRun.insertedRecords.clear();
        {
            TextReader input(inputPath);
            TextWriter output(outputPath);
            std::string line;
            int number = 0;
            Row row;
            std::optional<long long> previous;
            std::size_t record = 0;
            char text[kFixedTextCapacity];
            auto putValue = [&](double value) {
                output.write(std::string_view(text, static_cast<std::size_t>(formatFixedTo(text, value, 2) - text)));
            };
            auto putFilled = [&](int column, long long day) {
                char how = 0;
                putValue(filled(column, day, how));
                mFilledValues += 1;
                (how == 'I' ? mInterpolated : mFromReference) += 1;
                if (mRun.provenance)
                    mRun.provenance->noteFilled(record, column,
                                                how == 'I' ? RunProvenance::Mark::Interpolated
                                                           : RunProvenance::Mark::FromReference);
            };
            while (input.readLine(line)) {
                ++number;
                if (number <= mRun.rowsBefore || blankLine(line)) {
                    output.writeLine(line);
                    continue;
                }
                splitRow(line, mRun.columnCount, row);
                const long long day = *dayOf(mRun, row, mDoyMode);
                if (previous)
                    for (long long absent = *previous + 1; absent < day; ++absent) {
                        for (int column = 1; column <= mRun.columnCount; ++column) {
                            if (column > 1)
                                output.write(' ');
                            if (fillable(column))
                                putFilled(column, absent);
                            else
                                writeDateToken(output, column, absent, row);
                        }
                        output.writeLine();
                        mRun.insertedRecords.push_back(record);
                        if (mRun.provenance)
                            mRun.provenance->noteRecordLine(record, 0);
                        ++record;
                    }
                for (int column = 1; column <= mRun.columnCount; ++column) {
                    if (column > 1)
                        output.write(' ');
                    const double value = row.values[static_cast<std::size_t>(column - 1)];
                    if (fillable(column) && roundsToSign(value, mSign))
                        putFilled(column, day);
                    else
                        output.write(row.tokens[static_cast<std::size_t>(column - 1)]);
                }
                output.writeLine();
                if (mRun.provenance)
                    mRun.provenance->noteRecordLine(record, number);
                ++record;
                previous = day;
            }
            output.close();
        }
        mRun.folder.remove(workfile::kInput);
        replaceFile(outputPath, inputPath);
        if (mRun.provenance)
            mRun.provenance->noteFillAccount(accountGaps(), accountFits());
    }

    void tell() const
    {
        if (mFilledValues == 0)
            return;
        std::string text = "Filled " + std::to_string(mFilledValues) + " missing values: "
                           + std::to_string(mInterpolated) + " interpolated, " + std::to_string(mFromReference)
                           + " from the reference";
        if (mInsertedDays > 0)
            text += "; " + std::to_string(mInsertedDays)
                    + (mInsertedDays == 1 ? " absent day inserted as a row" : " absent days inserted as rows");
        mRun.ui.notice(text + ".");
    }

private:
    bool stopAt(int line, const std::string& why)
    {
        mRun.badInput = InputPosition{line, 1};
        mRun.fail("Gaps cannot be filled: input line " + std::to_string(line) + " cannot be placed in time: " + why
                  + ".");
        return false;
    }

    static bool hasNonNumber(std::string_view line)
    {
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && static_cast<unsigned char>(line[i]) <= 32)
                ++i;
            const std::size_t start = i;
            while (i < line.size() && static_cast<unsigned char>(line[i]) > 32)
                ++i;
            if (i > start && !parseDecimal(line.substr(start, i - start)))
                return true;
        }
        return false;
    }

    int codeOf(int column) const { return mRun.columns.columnVariable[static_cast<std::size_t>(column)]; }
    bool fillable(int column) const { return isMeasured(codeOf(column)); }

    void missing(int column, long long day)
    {
        auto& state = mState[static_cast<std::size_t>(column)];
        if (!state.open) {
            state.open = Gap{};
            state.open->column = column;
            state.open->first = day;
            state.open->before = state.last;
        }
        ++state.open->days;
    }

    void measured(int column, long long day, double value)
    {
        closeGap(column, value);
        mState[static_cast<std::size_t>(column)].last = value;
        if (mSettings.reference)
            if (const auto x = mSettings.reference->value(day, codeOf(column)))
                mSums[static_cast<std::size_t>(column)][static_cast<std::size_t>(monthOf(day) - 1)].add(*x, value);
    }

    void closeGap(int column, std::optional<double> after)
    {
        auto& state = mState[static_cast<std::size_t>(column)];
        if (!state.open)
            return;
        state.open->after = after;
        mGaps.push_back(std::move(*state.open));
        state.open.reset();
    }

    // Each month's correction rests on that month over the years; a month
    // with too few days borrows the months either side.
    void fitMonths()
    {
        if (!mSettings.reference)
            return;
        mFits.assign(static_cast<std::size_t>(mRun.columnCount) + 1, {});
        for (int column = 1; column <= mRun.columnCount; ++column) {
            const int code = codeOf(column);
            if (!fillable(column) || !mSettings.reference->holds(code))
                continue;
            const auto& sums = mSums[static_cast<std::size_t>(column)];
            for (int month = 0; month < 12; ++month) {
                FitSums pooled = sums[static_cast<std::size_t>(month)];
                int months = 1;
                if (pooled.days < kLeastFitDays) {
                    pooled += sums[static_cast<std::size_t>((month + 11) % 12)];
                    pooled += sums[static_cast<std::size_t>((month + 1) % 12)];
                    months = 3;
                }
                if (pooled.days < kLeastFitDays) {
                    pooled = FitSums{};
                    for (const auto& other : sums)
                        pooled += other;
                    months = 12;
                }
                RunProvenance::MonthFit fit;
                fit.code = code;
                fit.month = month + 1;
                fit.months = months;
                fit.fit = ratioVariable(code) ? fitRatio(pooled) : fitLinear(pooled);
                char r2[64];
                std::snprintf(r2, sizeof r2, "%.2f", fit.fit.r2);
                if (pooled.days < kLeastFitDays)
                    fit.refused = "fewer than " + std::to_string(kLeastFitDays) + " days measured in both";
                else if (fit.fit.r2 < mSettings.leastR2)
                    fit.refused = std::string("weak fit (R2 ") + r2 + ")";
                mFits[static_cast<std::size_t>(column)][static_cast<std::size_t>(month)] = fit;
            }
        }
    }

    const RunProvenance::MonthFit& fitFor(int column, long long day) const
    {
        return mFits[static_cast<std::size_t>(column)][static_cast<std::size_t>(monthOf(day) - 1)];
    }

    std::string referenceProblem(const Gap& gap) const
    {
        const int code = codeOf(gap.column);
        const std::string name(variableInfo(code).item);
        if (!mSettings.reference->holds(code))
            return "the reference has no " + name;
        for (long long day = gap.first; day < gap.first + gap.days; ++day) {
            if (!mSettings.reference->value(day, code))
                return "the reference has no " + name + " on " + isoDate(day);
            const auto& fit = fitFor(gap.column, day);
            if (!fit.refused.empty())
                return "the reference's " + name + " for month " + std::to_string(fit.month) + ": " + fit.refused;
        }
        return {};
    }

    static std::string interpolationProblem(const Gap& gap, int code, int limit)
    {
        if (code == kPrecip)
            return "rain is never interpolated";
        if (!gap.before || !gap.after)
            return gap.before ? "no measured day after it" : "no measured day before it";
        if (limit == 0)
            return std::string(variableInfo(code).item) + " is not interpolated";
        return "longer than " + std::to_string(limit) + (limit == 1 ? " day" : " days") + ", the longest interpolated";
    }

    double fillValue(const Gap& gap, long long day) const
    {
        const int code = codeOf(gap.column);
        double value = 0;
        if (gap.how == 'I') {
            const double step = static_cast<double>(day - gap.first + 1) / (gap.days + 1);
            value = *gap.before + (*gap.after - *gap.before) * step;
        } else {
            value = fitFor(gap.column, day).fit.apply(*mSettings.reference->value(day, code));
        }
        return neverNegative(code) && value < 0 ? 0 : value;
    }

    void writeDateToken(TextWriter& output, int column, long long day, const Row& next) const
    {
        long long y = 0;
        unsigned m = 0, d = 0;
        civilFromDays(day, y, m, d);
        const long long doy = day - daysFromCivil(y, 1, 1) + 1;
        switch (codeOf(column)) {
        case kYear: output.write(std::to_string(y)); return;
        case kMonth: output.write(std::to_string(m)); return;
        case kDay: output.write(std::to_string(d)); return;
        case kDoy: output.write(std::to_string(doy)); return;
        case kDate: output.write(std::to_string(y * 10000 + m * 100 + d)); return;
        case kYydoy: {
            // As the rows around it write it: seven digits or five.
            const bool fourDigitYear = next.values[static_cast<std::size_t>(column - 1)] >= 1e6;
            output.write(std::to_string((fourDigitYear ? y : y % 100) * 1000 + doy));
            return;
        }
        default: output.write(std::to_string(mSign)); return;
        }
    }

    void reportUnfilled()
    {
        const auto reportPath = mRun.file(workfile::kReport);
        const Gap* first = nullptr;
        std::size_t count = 0;
        {
            TextWriter report(reportPath);
            report.writeLine(kGapsNotFilledHeading);
            report.writeLine();
            report.writeLine("Variable\tFrom\tTo\tDays\tWhy not filled");
            std::vector<const Gap*> byDate;
            for (const Gap& gap : mGaps)
                byDate.push_back(&gap);
            std::stable_sort(byDate.begin(), byDate.end(),
                             [](const Gap* a, const Gap* b) { return a->first < b->first; });
            for (const Gap* at : byDate) {
                const Gap& gap = *at;
                if (gap.how)
                    continue;
                ++count;
                if (!first)
                    first = &gap;
                report.writeLine(std::string(variableInfo(codeOf(gap.column)).item) + "\t" + isoDate(gap.first) + "\t"
                                 + isoDate(gap.first + gap.days - 1) + "\t" + std::to_string(gap.days) + "\t"
                                 + gap.why);
            }
            report.close();
        }
        mRun.outputPanel = loadPanelText(reportPath);
        mRun.folder.remove(workfile::kReport);
        std::string message = "A gap cannot be filled: " + std::string(variableInfo(codeOf(first->column)).item)
                              + " is missing " + (first->days == 1 ? "on " + isoDate(first->first)
                                                                   : "from " + isoDate(first->first) + " to "
                                                                         + isoDate(first->first + first->days - 1)
                                                                         + " (" + std::to_string(first->days)
                                                                         + " days)")
                              + ": " + first->why + ".";
        if (count > 1)
            message += " " + std::to_string(count - 1) + " more such gaps are listed in the output.";
        noteDaysOfStoppedRun();
        mRun.fail(message);
    }

    // The flags file and the report of the stopped run still show every
    // day, its missing values as such.
    void noteDaysOfStoppedRun()
    {
        if (!mRun.provenance)
            return;
        TextReader input(mRun.file(workfile::kInput));
        std::string line;
        int number = 0;
        std::size_t index = 0;
        Row row;
        while (input.readLine(line)) {
            if (++number <= mRun.rowsBefore || blankLine(line))
                continue;
            std::uint32_t lacking = 0;
            if (splitRow(line, mRun.columnCount, row))
                for (int column = 1; column <= mRun.columnCount && column < 32; ++column)
                    if (fillable(column) && roundsToSign(row.values[static_cast<std::size_t>(column - 1)], mSign))
                        lacking |= 1u << column;
            noteStoppedRow(mRun, index++, line, lacking);
        }
    }

    std::vector<RunProvenance::Gap> accountGaps() const
    {
        std::vector<RunProvenance::Gap> gaps;
        gaps.reserve(mGaps.size());
        for (const Gap& gap : mGaps)
            gaps.push_back({codeOf(gap.column), gap.first, gap.days, gap.how});
        std::stable_sort(gaps.begin(), gaps.end(),
                         [](const auto& a, const auto& b) { return a.firstDay < b.firstDay; });
        return gaps;
    }

    std::vector<RunProvenance::MonthFit> accountFits() const
    {
        std::vector<RunProvenance::MonthFit> fits;
        for (const auto& months : mFits)
            for (const auto& fit : months)
                if (fit.code != 0)
                    fits.push_back(fit);
        return fits;
    }

    RunContext& mRun;
    const FillSettings& mSettings;
    int mSign;
    bool mDoyMode = false;
    std::vector<ColumnState> mState;
    std::vector<std::array<FitSums, 12>> mSums;
    std::vector<std::array<RunProvenance::MonthFit, 12>> mFits;
    std::vector<Gap> mGaps;
    long long mInsertedDays = 0;
    long long mFilledValues = 0;
    long long mInterpolated = 0;
    long long mFromReference = 0;
};

} // namespace

void fillGaps(RunContext& run, const FillSettings& settings, int sign)
{
    GapFiller filler(run, settings, sign);
    if (!filler.scan() || !filler.decide())
        return;
    filler.write();
    filler.tell();
}

} // namespace pluvora
