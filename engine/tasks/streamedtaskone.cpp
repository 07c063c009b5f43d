#include "engine/tasks/streamedtaskone.h"

#include "engine/error.h"
#include "engine/io/numbertext.h"
#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"
#include "engine/modelfiles/daylog.h"
#include "engine/provenance/runprovenance.h"
#include "engine/record/humidity.h"
#include "engine/table/fieldreading.h"
#include "engine/table/inputtable.h"
#include "engine/tasks/convertrearrange.h"
#include "engine/tasks/datacheckup.h"
#include "engine/tasks/estimationframe.h"
#include "engine/tasks/missingvalues.h"
#include "engine/tasks/readingnotices.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

namespace pluvora {

namespace {

constexpr std::size_t kChunk = 1 << 20;
// Far below the readers' 64-byte token pieces, also once rewritten.
constexpr std::size_t kLongestToken = 40;

// After cleaning only these bytes are left between the blanks: a token is
// a run of them, whatever the other bytes were.
constexpr bool isValueByte(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '.'; }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isFlagByte(char c) { return static_cast<unsigned char>((c | 0x20) - 'a') < 26 || c == '*'; }

// What a byte between the numbers of a row may tell: a field delimiter
// (counted) or a letter or '*' (a flag or an exponent, looked at later).
constexpr unsigned kFieldDelimiter = 1;
constexpr unsigned kLetter = 2;
constexpr auto kByteKinds = [] {
    std::array<unsigned char, 256> kinds{};
    for (int c = 0; c < 256; ++c) {
        const char byte = static_cast<char>(c);
        kinds[static_cast<std::size_t>(c)] = static_cast<unsigned char>(
            (ReadingNotices::isFieldDelimiter(byte) ? kFieldDelimiter : 0) | (isFlagByte(byte) ? kLetter : 0));
    }
    return kinds;
}();

constexpr double kScale[] = {1.0, 10.0, 100.0, 1000.0};

// The bytes of a plain row, as the general loop of `record` reads them: a
// separator is any byte that is neither a value byte nor of a kind it
// looks at again.
enum PlainByte : unsigned char { kSeparatorByte, kValueByte, kOtherByte };
constexpr auto kPlainBytes = [] {
    std::array<unsigned char, 256> bytes{};
    for (int c = 0; c < 256; ++c) {
        const char byte = static_cast<char>(c);
        bytes[static_cast<std::size_t>(c)] = isValueByte(byte)                                    ? kValueByte
                                             : kByteKinds[static_cast<std::size_t>(c)] != 0 ? kOtherByte
                                                                                            : kSeparatorByte;
    }
    return bytes;
}();

// Values a plain row may hold, extra tokens included.
constexpr int kPlainTokens = 32;

// Past the blanks at `p`, eight at a time: the runs of blanks between
// right-aligned columns cost as much as their numbers a byte at a time.
const char* pastBlanks(const char* p, const char* end)
{
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kBlanks = 0x2020202020202020u;
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            const std::uint64_t other = word ^ kBlanks;
            if (other != 0)
                return p + std::countr_zero(other) / 8;
            p += 8;
        }
    }
    return p;
}

// The values of a row of plain numbers (-ddd.ddd, up to 15 characters and 3
// decimals) between separators, as `valueOf` reads them before substitution;
// -1 for any other row. One pass with no side effects, so that the general
// loop can read the row again from its start.
int readPlainRow(const char* p, const char* end, double* values)
{
    const auto kind = [](char c) { return kPlainBytes[static_cast<unsigned char>(c)]; };
    int count = 0;
    for (;;) {
        p = pastBlanks(p, end);
        while (p != end && kind(*p) == kSeparatorByte)
            ++p;
        if (p == end)
            return count;
        const char* const token = p;
        const bool negative = *p == '-';
        p += negative ? 1 : 0;
        // Digits, then a point and digits: two tight loops, not one that
        // asks about the point at every digit.
        std::uint64_t digits = 0;
        unsigned d = 0;
        for (; p != end && (d = static_cast<unsigned char>(*p) - '0') < 10; ++p)
            digits = digits * 10 + d;
        const char* point = nullptr;
        if (p != end && *p == '.') {
            point = p++;
            for (; p != end && (d = static_cast<unsigned char>(*p) - '0') < 10; ++p)
                digits = digits * 10 + d;
        }
        // A minus or a second point inside the token, or a byte the general
        // loop looks at again right after it.
        if (p != end && kind(*p) != kSeparatorByte)
            return -1;
        const auto length = static_cast<std::size_t>(p - token);
        const std::size_t decimals = point ? static_cast<std::size_t>(p - point - 1) : 0;
        if (length > 15 || decimals > 3 || length <= (negative ? 1u : 0u) + (point ? 1u : 0u)
            || count == kPlainTokens)
            return -1;
        const double magnitude = static_cast<double>(digits) / kScale[decimals];
        values[count++] = negative ? -magnitude : magnitude;
    }
}

// Digits and at most one point, read up to the first other byte.
struct DigitRun {
    std::uint64_t digits = 0;
    const char* point = nullptr;
    const char* end = nullptr;
};

DigitRun scanDigits(const char* p, const char* end)
{
    DigitRun run;
    for (; p != end; ++p) {
        const unsigned d = static_cast<unsigned char>(*p) - '0';
        if (d < 10)
            run.digits = run.digits * 10 + d;
        else if (*p == '.' && !run.point)
            run.point = p;
        else
            break;
    }
    run.end = p;
    return run;
}

class Pass {
public:
    Pass(RunContext& run, std::optional<int> sign, double substitute, FieldRowWriter* fieldRows)
        : mRun(run), mSign(sign), mSignValue(sign.value_or(0)), mSubstitute(substitute), mFieldRows(fieldRows),
          mRowFormat(run.columns), mScreen(run),
          mNotices(run, sign), mLine(run.rowsBefore)
    {
        for (int column = 1; column <= run.columnCount && column <= kColumnBoxes; ++column) {
            const int code = run.columns.columnVariable[static_cast<std::size_t>(column)];
            const auto k = static_cast<std::size_t>(column - 1);
            mTargets[k] = plainTarget(code);
            mWholeTargets[k] = wholeTarget(code);
            mCodes[k] = static_cast<std::size_t>(code);
        }
        // Rows with only whole tokens can skip the rewriting: every column
        // is one field; a blank-separated row may hold more.
        if (fieldRows)
            mNotices.setMissingLabel(fieldRows->missingLabel());
        if (fieldRows && !fieldRows->blankSeparated()) {
            const auto signText = fieldRows->sign();
            mTokenByToken = !signText
                || (!signText->empty() && std::all_of(signText->begin(), signText->end(), isValueByte));
        }
    }

    enum class Step { Next, Stages };

    // A line of "Input.~" as saved, before the end notes are cut; Stages
    // when the stages must do the work.
    Step line(const char* p, const char* end, TextWriter& output)
    {
        ++mLine;
        const char* textEnd = end != p && end[-1] == '\r' ? end - 1 : end;
        const std::string_view text(p, static_cast<std::size_t>(textEnd - p));
        if (mEndLine > 0) {
            mRowsAfterEnd += isDataRowLength(text);
            return Step::Next;
        }
        if (!isDataRowLength(text)) {
            // The data end here; what follows is only counted, to be told.
            mEndLine = mLine;
            return Step::Next;
        }
        if (!mFieldRows)
            return record(p, end, output) ? Step::Next : Step::Stages;
        // Fields are read as the field pass rewrites them; a row it would
        // stop on or report is the stages' to handle.
        if (mTokenByToken && mFieldRows->plainFields()) {
            // Fields that are plain numbers go straight to the record, as
            // fieldRecord would take split()'s tokens of them.
            double values[kColumnBoxes];
            if (mFieldRows->readPlainFields(text, values)) {
                mLastDate = 0;
                mFilled = 0;
                return plainRecord(values, mRun.columnCount, output) ? Step::Next : Step::Stages;
            }
        }
        FieldRowWriter::Result row;
        if (mTokenByToken)
            row = mFieldRows->split(text, mRow, mTokens);
        else
            row = mFieldRows->rewrite(text, mRow);
        if (row.message || row.firstMissing != 0 || (row.timed && row.date == mLastDate))
            return Step::Stages;
        mLastDate = row.date;
        mFilled = row.filled;
        for (int column = 1; row.flagged >> (column - 1); ++column)
            if ((row.flagged >> (column - 1)) & 1u)
                mNotices.flagged(mLine, column);
        if (row.traces > 0 && mTraces == 0)
            mFirstTraceLine = mLine;
        mTraces += row.traces;
        const bool read = mTokenByToken ? fieldRecord(mTokens, output)
                                        : record(mRow.data(), mRow.data() + row.length, output);
        return read ? Step::Next : Step::Stages;
    }

    bool anyRecord() const { return mAnyRecord; }
    const ReadingNotices& notices() const { return mNotices; }
    std::size_t traces() const { return mTraces; }
    int firstTraceLine() const { return mFirstTraceLine; }
    int endLine() const { return mEndLine; }
    int rowsAfterEnd() const { return mRowsAfterEnd; }

private:
    bool record(const char* p, const char* end, TextWriter& output)
    {
        // Most rows are plain numbers between blanks: read in one pass.
        double plain[kPlainTokens];
        const int plainCount = readPlainRow(p, end, plain);
        if (plainCount >= 0)
            return plainRecord(plain, plainCount, output);
        const int columns = mRun.columnCount;
        double values[kColumnBoxes];
        int count = 0;
        int described = 0;
        int delimiters = 0;
        std::uint32_t substitutedColumns = 0; // bit k: column k + 1
        const char* const row = p;
        unsigned rare = 0;
        for (;;) {
            while (p != end && !isValueByte(*p)) {
                const unsigned kind = kByteKinds[static_cast<unsigned char>(*p++)];
                delimiters += kind & kFieldDelimiter;
                rare |= kind;
            }
            if (p == end)
                break;
            const char* token = p;
            const bool negative = *p == '-';
            const DigitRun run = scanDigits(negative ? p + 1 : p, end);
            p = run.end;
            described += delimiters < columns;
            while (p != end && isValueByte(*p))
                ++p;
            // Without substitution no stage reads past the record's columns.
            if (!mSign && count >= columns) {
                ++count;
                continue;
            }
            const std::optional<double> value = valueOf(token, p, negative, run);
            if (!value)
                return false;
            if (mSubstituted) {
                mSubstituted = false;
                note(count + 1);
                if (mRun.provenance && count < columns)
                    substitutedColumns |= 1u << count;
            }
            if (count < columns)
                values[count] = *value;
            ++count;
        }
        // Letters are rare in data rows: only then is the row read again.
        if ((rare & kLetter) && !gluedOn(row, end, columns))
            return false;
        mNotices.row(mLine, delimiters > 0 ? described : count);
        if (count == 0)
            return true; // a blank row: every stage passes over it
        return take(values, count, substitutedColumns, output);
    }

    // `record` for a row readPlainRow read: the same substitutions, notes
    // and record, in the same order.
    bool plainRecord(double* values, int count, TextWriter& output)
    {
        const int columns = mRun.columnCount;
        std::uint32_t substitutedColumns = 0;
        if (mSign)
            for (int k = 0; k < count; ++k) {
                // Most values are far from the sign: the test for that first.
                if (!(std::fabs(values[k] - mSignValue) < 1.0 && roundsToSign(values[k], *mSign)))
                    continue;
                values[k] = mSubstitute;
                note(k + 1);
                if (mRun.provenance && k < columns)
                    substitutedColumns |= 1u << k;
            }
        mNotices.row(mLine, count);
        if (count == 0)
            return true;
        return take(values, count, substitutedColumns, output);
    }

    // What is glued on the numbers of a row: flags the cleaning drops,
    // counted per column, or an exponent (1.04E+01), which the stages read
    // whole; false for that.
    bool gluedOn(const char* p, const char* end, int columns)
    {
        int count = 0;
        while (p != end) {
            if (!isValueByte(*p)) {
                ++p;
                continue;
            }
            while (p != end && isValueByte(*p))
                ++p;
            ++count;
            if (p == end || !isFlagByte(*p))
                continue;
            if ((*p == 'e' || *p == 'E') && end - p > 2 && (p[1] == '+' || p[1] == '-') && isDigit(p[2]))
                return false;
            const char* q = p;
            while (q != end && isFlagByte(*q))
                ++q;
            if (count <= columns && (q == end || !isValueByte(*q)))
                mNotices.flagged(mLine, count);
            p = q;
        }
        return true;
    }

    // A row of fields, read token by token as `record` would read the row
    // rewritten.
    bool fieldRecord(const FieldRowWriter::Tokens& tokens, TextWriter& output)
    {
        const int columns = mRun.columnCount;
        double values[kColumnBoxes];
        std::uint32_t substitutedColumns = 0;
        for (int k = 0; k < columns; ++k) {
            const std::string_view token = tokens[static_cast<std::size_t>(k)];
            const char* const end = token.data() + token.size();
            const bool negative = token.front() == '-';
            const std::optional<double> value =
                valueOf(token.data(), end, negative, scanDigits(token.data() + (negative ? 1 : 0), end));
            if (!value)
                return false;
            if (mSubstituted) {
                mSubstituted = false;
                note(k + 1);
                if (mRun.provenance)
                    substitutedColumns |= 1u << k;
            }
            values[k] = *value;
        }
        mNotices.row(mLine, columns);
        return take(values, columns, substitutedColumns, output);
    }

    // A value of `column` replaced by the substitute: the sign, or a field
    // that was empty or a missing text.
    void note(int column)
    {
        if (column <= kColumnBoxes && ((mFilled >> (column - 1)) & 1u))
            mNotices.filled(mLine, column);
        else
            mNotices.substituted(mLine, column);
    }

    // The record of a row read into `values`: checked, screened and
    // written.
    bool take(const double* values, int count, std::uint32_t substitutedColumns, TextWriter& output)
    {
        const int columns = mRun.columnCount;
        // A short row is a missing value, and so is the row-end marker
        // itself, unless it comes first.
        if (count < columns)
            return false;
        if (values[0] != kRowEndMarker)
            for (int k = 1; k < columns; ++k)
                if (values[k] == kRowEndMarker)
                    return false;

        Record& record = mRun.record;
        for (int column = 1; column <= columns; ++column) {
            const std::size_t k = static_cast<std::size_t>(column - 1);
            if (const auto target = mTargets[k]) {
                record.*target = values[k];
                record.present[mCodes[k]] = true;
            } else if (const auto whole = mWholeTargets[k]) {
                record.*whole = asWholeNumber(values[k]);
                record.present[mCodes[k]] = true;
            } else {
                assignValue(record, mRun.columns, column, values[k]);
            }
        }
        deriveHumidity(record, mRun.columns, columns);
        // The account of the days, when asked for, as the stages keep it:
        // the line and substitutions first, then the day as checked.
        RunProvenance* provenance = mRun.provenance;
        if (provenance) {
            provenance->noteRecordLine(mRecords, mLine);
            for (int k = 0; k < columns; ++k)
                if ((substitutedColumns >> k) & 1u)
                    provenance->noteSubstituted(mRecords, k + 1);
        }
        int screenedDay = 0;
        if (!mScreen.passes(record, provenance, mRecords, &screenedDay))
            return false;
        ++mRecords;
        // recordDayOfYear's answer: without a DOY of its own, a record that
        // passed has a whole date, whose day the screen just computed.
        const int doy = record.doy >= 1 ? record.doy : screenedDay;
        output.commit(mRowFormat.format(output.reserve(WeatherRowFormat::kCapacity), record, doy));
        if (mRun.days)
            mRun.days->add(record, mRun.columns, doy);
        stepGauge(mRun.ui);
        mAnyRecord = true;
        return true;
    }

    // The value of the token [token, end), whose digits `run` read: the
    // common form, -ddd.ddd, straight from them; any other through
    // parseDecimal.
    std::optional<double> valueOf(const char* token, const char* end, bool negative, const DigitRun& run)
    {
        const auto length = static_cast<std::size_t>(run.end - token);
        const std::size_t decimals = run.point ? static_cast<std::size_t>(run.end - run.point - 1) : 0;
        if (run.end == end && length <= 15 && decimals <= 3
            && length > (negative ? 1u : 0u) + (run.point ? 1u : 0u)) {
            const double magnitude = static_cast<double>(run.digits) / kScale[decimals];
            return tokenValue(negative ? -magnitude : magnitude);
        }
        return tokenValue(token, static_cast<std::size_t>(end - token));
    }

    // tokenValue for a token of up to 15 characters and 3 decimals, read
    // as `value`: the substitution rewrites it as the same decimal.
    double tokenValue(double value)
    {
        // Most values are far from the sign: no call for them.
        if (!(mSign && std::fabs(value - *mSign) < 1.0 && roundsToSign(value, *mSign)))
            return value;
        mSubstituted = true;
        return mSubstitute;
    }

    // The value later stages read for a token: after substitution, the
    // value of the text the token was rewritten as.
    std::optional<double> tokenValue(const char* token, std::size_t length)
    {
        if (length > kLongestToken)
            return std::nullopt;
        const std::string_view text(token, length);
        auto value = parseDecimal(text);
        if (!value || !mSign)
            return value;
        if (roundsToSign(*value, *mSign)) {
            mSubstituted = true;
            return mSubstitute;
        }
        // Up to 15 digits with at most 3 decimals are rewritten as the same
        // decimal; anything else is read back from its rewritten text.
        const auto point = text.find('.');
        const bool sameDecimal = length <= 15 && (point == std::string_view::npos || length - point - 1 <= 3);
        if (sameDecimal)
            return value;
        const std::string rewritten = substitutionText(*value);
        if (rewritten.size() > kLongestToken)
            return std::nullopt;
        return parseDecimal(rewritten);
    }

    // The member a column's value is stored in as it stands, as assignValue
    // stores it; null for the columns it reads otherwise. Chosen once per
    // layout, not once per value.
    static double Record::*plainTarget(int code)
    {
        switch (code) {
        case kSolar: return &Record::solar;
        case kTmax: return &Record::tmax;
        case kTmin: return &Record::tmin;
        case kPrecip: return &Record::precip;
        case kRelHum: return &Record::relHum;
        case kWndSpd: return &Record::wndSpd;
        case kSoilT: return &Record::soilT;
        case kEt: return &Record::et;
        case kPanEvap: return &Record::panEvap;
        case kSunHr: return &Record::sunHr;
        case kSunHrPercent: return &Record::sunHrPercent;
        case kDewPt: return &Record::dewPt;
        case kVapPr: return &Record::vapPr;
        default: return nullptr;
        }
    }

    // The date columns assignValue stores as whole numbers, the same way.
    static int Record::*wholeTarget(int code)
    {
        switch (code) {
        case kYear: return &Record::year;
        case kMonth: return &Record::month;
        case kDay: return &Record::day;
        case kDoy: return &Record::doy;
        default: return nullptr;
        }
    }

    RunContext& mRun;
    std::array<double Record::*, kColumnBoxes> mTargets{};
    std::array<int Record::*, kColumnBoxes> mWholeTargets{};
    std::array<std::size_t, kColumnBoxes> mCodes{}; // each column's variable
    std::optional<int> mSign;
    double mSignValue = 0;
    double mSubstitute;
    FieldRowWriter* mFieldRows; // null for blank-separated rows
    bool mTokenByToken = false; // rows of fields are read from their tokens
    FieldRowWriter::Tokens mTokens;
    std::string mRow; // the row as the field pass rewrites it, or the split's scratch
    int mLastDate = 0; // of the last row of fields with a Date column
    std::uint32_t mFilled = 0; // of the row read: columns the field pass filled
    std::size_t mTraces = 0;
    int mFirstTraceLine = 0;
    WeatherRowFormat mRowFormat;
    CheckupScreen mScreen;
    ReadingNotices mNotices;
    int mLine; // of the input, 1-based, as the stages count them
    int mEndLine = 0;      // the short line that ended the data, 0 before it
    int mRowsAfterEnd = 0; // lines below it long enough to be rows
    bool mSubstituted = false; // the last token read was the sign
    bool mAnyRecord = false;
    std::size_t mRecords = 0; // records read so far
};

bool finish(RunContext& run, FieldRowWriter* fieldRows, TextWriter& output, const Pass& pass,
            std::string_view substitute)
{
    output.close();
    if (!pass.anyRecord())
        return false;
    // Told only by a pass that stands: otherwise the stages tell them.
    if (pass.traces() > 0)
        run.ui.notice(traceNotice(pass.traces(), fieldRows->traceCode(), pass.firstTraceLine()));
    pass.notices().tell(run.ui, substitute, run.task);
    if (pass.rowsAfterEnd() > 0)
        run.ui.notice(dataEndedNotice(pass.endLine(), pass.rowsAfterEnd()));
    return true;
}

bool runPass(RunContext& run, std::optional<int> sign, double substitute, std::string_view substituteText,
             const std::filesystem::path& source, FieldRowWriter* fieldRows)
{
    TextReader input(source);
    TextWriter output(run.file(workfile::kOutput));
    writeWeatherHead(input, output, run.rowsBefore);

    Pass pass(run, sign, substitute, fieldRows);
    run.ui.progressPass(kConvertingPass);
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    std::size_t held = 0;
    for (;;) {
        const std::size_t got = input.read(buffer.get() + held, kChunk - held);
        held += got;
        const char* p = buffer.get();
        const char* const end = p + held;
        for (;;) {
            const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            if (!lf)
                break;
            const auto step = pass.line(p, lf, output);
            if (step == Pass::Step::Stages)
                return false;
            p = lf + 1;
        }
        const std::size_t rest = static_cast<std::size_t>(end - p);
        if (got == 0) {
            if (rest > 0 && pass.line(p, end, output) == Pass::Step::Stages)
                return false;
            break;
        }
        if (rest == kChunk)
            return false; // a row longer than the buffer
        std::memmove(buffer.get(), p, rest);
        held = rest;
    }
    return finish(run, fieldRows, output, pass, substituteText);
}

} // namespace

bool streamTaskOne(RunContext& run, std::optional<int> sign, std::string_view substitute,
                   const std::filesystem::path& source, FieldRowWriter* fieldRows)
{
    if (run.task != 1 || run.columnCount < 1 || run.columnCount > kColumnBoxes
        || run.columns.unit(kTmax) != run.columns.unit(kTmin))
        return false;
    double substituteValue = 0;
    if (sign) {
        const auto value = parseDecimal(substitute);
        if (!value || substitute.size() > kLongestToken)
            return false;
        substituteValue = *value;
    }
    const Record before = run.record;
    if (runPass(run, sign, substituteValue, substitute, source, fieldRows))
        return true;
    run.record = before;
    if (run.provenance)
        run.provenance->clearDays();
    if (run.days)
        run.days->clear();
    run.folder.remove(workfile::kOutput);
    return false;
}

} // namespace pluvora
