#include "engine/table/fieldreading.h"

#include "engine/columns/datetext.h"
#include "engine/error.h"
#include "engine/io/numbertext.h"
#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"
#include "engine/provenance/runprovenance.h"
#include "engine/stage/recordreader.h"
#include "engine/stage/stagemessages.h"
#include "engine/table/inputtable.h"
#include "engine/table/paneltext.h"
#include "engine/table/reportedline.h"
#include "engine/tasks/missingvalues.h"
#include "engine/tasks/readingnotices.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace pluvora {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char separatorOf(FieldSeparator fields)
{
    switch (fields) {
    case FieldSeparator::Comma: return ',';
    case FieldSeparator::Semicolon: return ';';
    case FieldSeparator::Tab: return '\t';
    default: return 0;
    }
}

// Digits with an optional minus sign and one optional point, as the stages
// read a number; `point` is the decimal mark of the input. Gives where the
// point is (npos for none), or nothing for any other text.
std::optional<std::size_t> plainNumberPoint(std::string_view text, char point)
{
    std::size_t k = !text.empty() && text.front() == '-' ? 1 : 0;
    bool digit = false;
    std::size_t at = std::string_view::npos;
    for (; k < text.size(); ++k) {
        const char c = text[k];
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == point && at == std::string_view::npos)
            at = k;
        else
            return std::nullopt;
    }
    if (!digit)
        return std::nullopt;
    return at;
}

bool isFlagByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '*';
}

struct Missing {
    int line;
    int column;
    std::string row;
    std::uint32_t columns = 0;
};

// The days of a run its missing values stop, for the flags file and the
// report, from the rows as rewritten: one per data line, in order.
void noteDaysOfRewrittenRows(RunContext& run, const std::filesystem::path& rewritten,
                             const std::vector<Missing>& missing)
{
    TextReader rows(rewritten);
    std::string row;
    for (int i = 0; i < run.rowsBefore && rows.readLine(row); ++i) {
    }
    auto next = missing.begin();
    for (std::size_t index = 0; rows.readLine(row); ++index) {
        const int lineNumber = run.rowsBefore + static_cast<int>(index) + 1;
        run.provenance->noteRecordLine(index, lineNumber);
        std::uint32_t lacking = 0;
        if (next != missing.end() && next->line == lineNumber) {
            lacking = next->columns;
            run.provenance->noteMissingRow(index, next->row);
            ++next;
        }
        noteStoppedRow(run, index, row, lacking);
    }
}

int dateColumn(const DataLayout& layout, int columnCount)
{
    for (int column = 1; column <= columnCount; ++column)
        if (layout.variable(column) == kDate)
            return column;
    return 0;
}

[[noreturn]] void stopAt(RunContext& run, int line, int column, const char* message)
{
    run.badInput = InputPosition{line, column};
    throw Error(message);
}

} // namespace

FieldSplitter::FieldSplitter(std::string_view line, const DataLayout& layout)
    : mLine(line)
    , mLayout(layout)
    , mSeparator(separatorOf(layout.fields))
{
}

std::optional<std::string_view> FieldSplitter::next()
{
    switch (mLayout.fields) {
    case FieldSeparator::Blanks: {
        while (mPos < mLine.size() && static_cast<unsigned char>(mLine[mPos]) <= 32)
            ++mPos;
        if (mPos >= mLine.size())
            return std::nullopt;
        const std::size_t start = mPos;
        while (mPos < mLine.size() && static_cast<unsigned char>(mLine[mPos]) > 32)
            ++mPos;
        return mLine.substr(start, mPos - start);
    }
    case FieldSeparator::Fixed: {
        if (mField >= mLayout.fieldEnds.size())
            return std::nullopt;
        const std::size_t start = mField == 0 ? 0 : static_cast<std::size_t>(mLayout.fieldEnds[mField - 1]);
        const std::size_t end = static_cast<std::size_t>(mLayout.fieldEnds[mField++]);
        // Ends rise; were one not to, its field would be empty rather than
        // overlap the others.
        if (start >= mLine.size() || end <= start)
            return std::string_view();
        return trimmed(mLine.substr(start, end - start));
    }
    default:
        break;
    }
    // Delimited: one field more than there are separators.
    if (mPos > mLine.size())
        return std::nullopt;
    std::size_t i = mPos;
    while (i < mLine.size() && mLine[i] == ' ')
        ++i;
    std::string_view field;
    if (i < mLine.size() && mLine[i] == '"') {
        // A quoted separator is text; "" inside the quotes is one quote.
        const std::size_t start = ++i;
        while (i < mLine.size()) {
            if (mLine[i] == '"') {
                if (i + 1 < mLine.size() && mLine[i + 1] == '"') {
                    i += 2;
                    continue;
                }
                break;
            }
            ++i;
        }
        field = trimmed(mLine.substr(start, i - start));
        while (i < mLine.size() && mLine[i] != mSeparator)
            ++i;
        mPos = i + 1;
        return field;
    }
    // Fields are short: a plain loop beats a search call.
    std::size_t end = mPos;
    while (end < mLine.size() && mLine[end] != mSeparator)
        ++end;
    field = trimmed(mLine.substr(mPos, end - mPos));
    mPos = end + 1;
    return field;
}

void FieldSplitter::skipTimeOfDay()
{
    if (mLayout.fields != FieldSeparator::Blanks)
        return;
    std::size_t p = mPos;
    while (p < mLine.size() && static_cast<unsigned char>(mLine[p]) <= 32)
        ++p;
    std::size_t end = p;
    while (end < mLine.size() && static_cast<unsigned char>(mLine[end]) > 32)
        ++end;
    if (isTimeOfDay(mLine.substr(p, end - p)))
        mPos = end;
}

char* plainFromExponent(std::string_view text, char point, bool signedExponent, char* out)
{
    std::size_t k = !text.empty() && text.front() == '-' ? 1 : 0;
    const std::size_t mantissa = k;
    std::size_t digits = 0;
    while (k < text.size() && text[k] >= '0' && text[k] <= '9')
        ++k, ++digits;
    std::size_t at = std::string_view::npos;
    if (k < text.size() && text[k] == point) {
        at = k++;
        while (k < text.size() && text[k] >= '0' && text[k] <= '9')
            ++k, ++digits;
    }
    if (digits == 0 || k >= text.size() || (text[k] != 'e' && text[k] != 'E'))
        return nullptr;
    ++k;
    const bool sign = k < text.size() && (text[k] == '+' || text[k] == '-');
    if (signedExponent && !sign)
        return nullptr;
    k += sign ? 1 : 0;
    const std::size_t exponent = k;
    while (k < text.size() && text[k] >= '0' && text[k] <= '9')
        ++k;
    if (k == exponent || k != text.size() || k - exponent > 3 || text.size() > kLongestPlainNumber)
        return nullptr;
    char copy[kLongestPlainNumber];
    std::memcpy(copy, text.data() + mantissa, text.size() - mantissa);
    if (at != std::string_view::npos)
        copy[at - mantissa] = '.';
    double value = 0;
    if (std::from_chars(copy, copy + (text.size() - mantissa), value).ec != std::errc())
        return nullptr;
    char* start = out;
    if (mantissa == 1 && value != 0.0)
        *out++ = '-';
    // The shortest decimal that reads back as the same double.
    const auto written = std::to_chars(out, start + kLongestPlainNumber, value, std::chars_format::fixed);
    if (written.ec != std::errc())
        return nullptr;
    return written.ptr;
}

std::size_t numberBeforeFlag(std::string_view text, char point)
{
    std::size_t end = text.size();
    while (end > 0 && isFlagByte(text[end - 1]))
        --end;
    if (end == text.size() || end == 0 || text.size() - end > 3)
        return 0;
    return plainNumberPoint(text.substr(0, end), point) ? end : 0;
}

std::string FieldRowWriter::missingLabel() const
{
    std::string label = mBlanks ? "" : "empty field";
    if (!mLayout.missingTexts.empty())
        label += (label.empty() ? "" : " or ") + missingTextsText(mLayout.missingTexts);
    return label;
}

const char* FieldRowWriter::layoutFault(const DataLayout& layout)
{
    if (layout.fields == FieldSeparator::Fixed && layout.fieldEnds.empty())
        return kNoFieldEnds;
    if (layout.fields == FieldSeparator::Comma && layout.decimalComma)
        return kDecimalCommaWithCommaFields;
    return nullptr;
}

FieldRowWriter::FieldRowWriter(const DataLayout& layout, int columnCount, std::optional<std::string_view> sign)
    : mLayout(layout)
    , mColumnCount(columnCount)
    , mSign(sign)
    , mBlanks(layout.fields == FieldSeparator::Blanks)
    , mPoint(layout.decimalComma ? ',' : '.')
    , mSeparator(separatorOf(layout.fields))
{
    mPlainFields = !mBlanks && !layoutFault(layout) && layout.missingTexts.empty() && layout.traceCode.empty()
        && columnCount <= kColumnBoxes;
    for (int column = 1; column <= columnCount && mPlainFields; ++column)
        mPlainFields = layout.variable(column) != kDate;
}

bool FieldRowWriter::readPlainFields(std::string_view line, double* values) const
{
    // The numbers straight from the row, without the tokens split() makes:
    // most rows of a delimited or fixed-width file are only that.
    static constexpr double kScale[] = {1.0, 10.0, 100.0, 1000.0};
    const bool fixed = mLayout.fields == FieldSeparator::Fixed;
    if (fixed && mLayout.fieldEnds.size() < static_cast<std::size_t>(mColumnCount))
        return false;
    const char* const rowEnd = line.data() + line.size();
    // A tab that separates the fields is no blank around them.
    const auto blank = [this](char c) { return isBlank(c) && c != mSeparator; };
    const char* p = line.data();
    for (int column = 0; column < mColumnCount; ++column) {
        // A delimited field is read up to the first byte no number holds,
        // which must then be its separator: no search for it first.
        const char* fieldEnd = rowEnd;
        if (fixed) {
            const auto start = static_cast<std::size_t>(column == 0 ? 0 : mLayout.fieldEnds[static_cast<std::size_t>(column - 1)]);
            const auto end = static_cast<std::size_t>(mLayout.fieldEnds[static_cast<std::size_t>(column)]);
            if (start >= line.size() || end <= start)
                return false;
            p = line.data() + start;
            fieldEnd = line.data() + std::min(end, line.size());
        } else if (!p) {
            return false; // the row ended with the field before
        }
        while (p != fieldEnd && blank(*p))
            ++p;
        const char* const token = p;
        const bool negative = p != fieldEnd && *p == '-';
        p += negative ? 1 : 0;
        // Digits, then a point and digits: two tight loops.
        std::uint64_t digits = 0;
        unsigned d = 0;
        for (; p != fieldEnd && (d = static_cast<unsigned char>(*p) - '0') < 10; ++p)
            digits = digits * 10 + d;
        const char* point = nullptr;
        if (p != fieldEnd && *p == mPoint) {
            point = p++;
            for (; p != fieldEnd && (d = static_cast<unsigned char>(*p) - '0') < 10; ++p)
                digits = digits * 10 + d;
        }
        const char* const tokenEnd = p;
        while (p != fieldEnd && blank(*p))
            ++p;
        if (p != fieldEnd && (fixed || *p != mSeparator))
            return false;
        const auto length = static_cast<std::size_t>(tokenEnd - token);
        const std::size_t decimals = point ? static_cast<std::size_t>(tokenEnd - point - 1) : 0;
        if (length > 15 || decimals > 3 || length <= (negative ? 1u : 0u) + (point ? 1u : 0u))
            return false;
        const double magnitude = static_cast<double>(digits) / kScale[decimals];
        values[column] = negative ? -magnitude : magnitude;
        if (!fixed)
            p = p != rowEnd ? p + 1 : nullptr;
    }
    return true;
}

FieldRowWriter::Result FieldRowWriter::split(std::string_view line, std::string& scratch, Tokens& tokens) const
{
    Result result;
    FieldSplitter fields(line, mLayout);
    // Rewritten fields (dates, decimal commas) go to `scratch`, sized first
    // so that the views into it stay valid.
    const std::size_t room = line.size() + kColumnBoxes * (kLongestPlainNumber + 16);
    if (scratch.size() < room)
        scratch.resize(2 * room);
    char* out = scratch.data();
    int count = 0;
    for (int column = 1; column <= mColumnCount; ++column) {
        const std::string_view field = fields.next().value_or(std::string_view());
        const int code = mLayout.variable(column);
        std::string_view& token = tokens[static_cast<std::size_t>(count++)];
        const bool missingText = !mLayout.missingTexts.empty() && !field.empty()
            && std::find(mLayout.missingTexts.begin(), mLayout.missingTexts.end(), field) != mLayout.missingTexts.end();
        if (field.empty() || missingText) {
            // Blank-separated rows have no empty fields: a short row is left
            // to the missing-value check, as always.
            if (mBlanks && !missingText) {
                --count;
                break;
            }
            if (code <= kIgnore) {
                token = "0";
            } else if (mSign && code != kDate) {
                token = *mSign;
                result.filled |= 1u << (column - 1);
            } else {
                if (result.firstMissing == 0)
                    result.firstMissing = column;
                result.missingColumns |= 1u << column;
                token = "0";
            }
            continue;
        }
        if (code == kDate) {
            const DateText date = readDateText(field, mLayout.unit(column));
            if (date.kind == DateText::Kind::NotADate)
                return result.stop(column, kInvalidNumericInput);
            if (date.kind == DateText::Kind::Impossible)
                return result.stop(column, kDataFormatProblem);
            const int value = date.year * 10000 + date.month * 100 + date.day;
            result.date = value;
            result.timed = date.timed;
            char* const end = std::to_chars(out, out + 16, value).ptr;
            token = std::string_view(out, static_cast<std::size_t>(end - out));
            out = end;
            // A time after the date belongs to it, unless the layout gives
            // it a column of its own (an Ignore box right after the date).
            if (column < mColumnCount && mLayout.variable(column + 1) > kIgnore)
                fields.skipTimeOfDay();
            continue;
        }
        if (code == kPrecip && field == mLayout.traceCode) {
            ++result.traces;
            token = "0";
            continue;
        }
        std::string_view number = field;
        if (!mBlanks && number.front() == '+')
            number.remove_prefix(1);
        const std::optional<std::size_t> point = plainNumberPoint(number, mPoint);
        if (!point) {
            // An ignored column stays one number, so that text such as a
            // time (00:00) cannot split it and shift the columns after it.
            // Text in a column that is read: blank-separated rows leave it
            // to the cleaning every run does.
            if (code <= kIgnore) {
                token = "0";
                continue;
            }
            if (char* const plainEnd = plainFromExponent(number, mPoint, mBlanks, out)) {
                token = std::string_view(out, static_cast<std::size_t>(plainEnd - out));
                out = plainEnd;
                continue;
            }
            // A service's quality flag after the number: the number counts.
            if (const std::size_t length = numberBeforeFlag(number, mPoint)) {
                result.flagged |= 1u << (column - 1);
                number = number.substr(0, length);
                token = number;
                if (mPoint == ',')
                    if (const auto at = number.find(','); at != std::string_view::npos) {
                        std::memcpy(out, number.data(), number.size());
                        out[at] = '.';
                        token = std::string_view(out, number.size());
                        out += number.size();
                    }
                continue;
            }
            if (mBlanks)
                token = field;
            else
                return result.stop(column, kInvalidNumericInput);
            continue;
        }
        token = number;
        if (mPoint == ',' && *point != std::string_view::npos) {
            std::memcpy(out, number.data(), number.size());
            out[*point] = '.';
            token = std::string_view(out, number.size());
            out += number.size();
        }
    }
    result.tokens = count;
    if (mBlanks)
        result.rest = fields.rest();
    return result;
}

FieldRowWriter::Result FieldRowWriter::rewrite(std::string_view line, std::string& row, Tokens* given)
{
    Tokens own;
    Tokens& tokens = given ? *given : own;
    Result result = split(line, mScratch, tokens);
    if (result.message)
        return result;
    std::size_t length = result.tokens + result.rest.size() + kShortestDataRow + 1;
    for (int k = 0; k < result.tokens; ++k)
        length += tokens[static_cast<std::size_t>(k)].size();
    if (row.size() < length)
        row.resize(2 * length);
    char* const first = row.data();
    char* out = first;
    for (int k = 0; k < result.tokens; ++k) {
        const std::string_view token = tokens[static_cast<std::size_t>(k)];
        if (k > 0)
            *out++ = ' ';
        std::memcpy(out, token.data(), token.size());
        out += token.size();
    }
    if (mBlanks) {
        *out++ = ' ';
        std::memcpy(out, result.rest.data(), result.rest.size());
        out += result.rest.size();
    }
    // Every data row keeps the length that marks it as one.
    while (static_cast<std::size_t>(out - first) < kShortestDataRow)
        *out++ = ' ';
    result.length = static_cast<std::size_t>(out - first);
    return result;
}

std::string repeatedDayMessage(int date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date / 10000, date / 100 % 100, date % 100);
    return std::string("Rows with a date and a time hold more than one row for ") + text
        + "; half-day rows are not joined into days. Keep one row a day.";
}

std::string traceNotice(std::size_t traces, std::string_view traceCode, int firstLine)
{
    return std::to_string(traces) + " precipitation value" + (traces == 1 ? "" : "s") + " written as "
        + std::string(traceCode) + " (a trace) read as 0; the first on input line " + std::to_string(firstLine);
}

void readFields(RunContext& run, const DataLayout& layout, std::optional<std::string_view> sign,
                ReadingNotices* notices)
{
    const std::optional<int> signValue = sign ? parseInteger(*sign) : std::nullopt;
    if (const char* fault = FieldRowWriter::layoutFault(layout)) {
        run.fail(fault);
        return;
    }
    FieldRowWriter rows(layout, run.columnCount, sign);
    const auto inputPath = run.file(workfile::kInput);
    const auto outputPath = run.file(workfile::kOutput);
    std::vector<Missing> missing;
    std::size_t traces = 0;
    int firstTraceLine = 0;
    {
        TextReader input(inputPath);
        TextWriter output(outputPath);
        copyHeaderRows(input, output, run.rowsBefore);
        std::string line;
        std::string row; // the rewritten row, written whole
        int lineNumber = run.rowsBefore;
        int lastDate = 0;
        // The first line too short to be a row ends the data; what follows
        // is notes, told when it looks like rows.
        while (input.readLine(line)) {
            if (!isDataRowLength(line)) {
                const int endLine = lineNumber + 1;
                int rowsAfter = 0;
                while (input.readLine(line))
                    rowsAfter += isDataRowLength(line);
                if (rowsAfter > 0)
                    run.ui.notice(dataEndedNotice(endLine, rowsAfter));
                break;
            }
            ++lineNumber;
            FieldRowWriter::Tokens tokens;
            const FieldRowWriter::Result result = rows.rewrite(line, row, &tokens);
            if (result.message)
                stopAt(run, lineNumber, result.stopColumn, result.message);
            if (result.timed && result.date == lastDate) {
                run.badInput = InputPosition{lineNumber, dateColumn(layout, run.columnCount)};
                throw Error(repeatedDayMessage(result.date));
            }
            lastDate = result.date;
            if (notices)
                for (int column = 1; column <= result.tokens; ++column) {
                    const std::uint32_t bit = 1u << (column - 1);
                    if (result.flagged & bit)
                        notices->flagged(lineNumber, column);
                    if (result.filled & bit) {
                        notices->filled(lineNumber, column);
                    } else if (signValue) {
                        const std::string_view token = tokens[static_cast<std::size_t>(column - 1)];
                        const auto value = token.size() <= kLongestPlainNumber ? parseDecimal(token) : std::nullopt;
                        if (value && roundsToSign(*value, *signValue))
                            notices->substituted(lineNumber, column);
                    }
                }
            if (result.firstMissing != 0)
                missing.push_back({lineNumber, result.firstMissing, line, result.missingColumns});
            if (result.traces > 0 && traces == 0)
                firstTraceLine = lineNumber;
            traces += result.traces;
            output.writeLine(std::string_view(row.data(), result.length));
        }
        output.close();
    }
    if (!missing.empty()) {
        if (run.provenance)
            noteDaysOfRewrittenRows(run, outputPath, missing);
        run.folder.remove(workfile::kOutput);
        std::string report = std::string(kMissingValuesReportHeading) + "\n\n";
        for (const Missing& m : missing)
            report += std::string(kReportedLinePrefix) + std::to_string(m.line) + ", column " + std::to_string(m.column) + ": " + m.row
                + "\n";
        run.outputPanel = report;
        run.badInput = InputPosition{missing.front().line, missing.front().column};
        run.fail(kMissingValuesFound);
        return;
    }
    run.folder.remove(workfile::kInput);
    replaceFile(outputPath, inputPath);
    if (traces > 0)
        run.ui.notice(traceNotice(traces, layout.traceCode, firstTraceLine));
}

} // namespace pluvora
