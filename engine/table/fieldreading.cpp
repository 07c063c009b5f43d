#include "table/fieldreading.h"

#include "columns/datetext.h"
#include "error.h"
#include "io/textreader.h"
#include "io/textwriter.h"
#include "stage/recordreader.h"
#include "stage/stagemessages.h"
#include "table/inputtable.h"
#include "table/paneltext.h"
#include "table/reportedline.h"

#include <charconv>
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
// read a number; `point` is the decimal mark of the input.
bool isPlainNumber(std::string_view text, char point)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    bool digit = false;
    bool seenPoint = false;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == point && !seenPoint)
            seenPoint = true;
        else
            return false;
    }
    return digit;
}

struct Missing {
    int line;
    int column;
    std::string row;
};

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
        if (start >= mLine.size())
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
        const std::size_t after = mLine.find(mSeparator, i);
        mPos = after == std::string_view::npos ? mLine.size() + 1 : after + 1;
        return field;
    }
    const std::size_t after = mLine.find(mSeparator, mPos);
    const std::size_t end = after == std::string_view::npos ? mLine.size() : after;
    field = trimmed(mLine.substr(mPos, end - mPos));
    mPos = end + 1;
    return field;
}

void readFields(RunContext& run, const DataLayout& layout, std::optional<std::string_view> sign)
{
    if (layout.fields == FieldSeparator::Fixed && layout.fieldEnds.empty()) {
        run.fail(kNoFieldEnds);
        return;
    }
    if (layout.fields == FieldSeparator::Comma && layout.decimalComma) {
        run.fail(kDecimalCommaWithCommaFields);
        return;
    }
    const bool blanks = layout.fields == FieldSeparator::Blanks;
    const char point = layout.decimalComma ? ',' : '.';
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
        char dateDigits[16];
        // The first line too short to be a row ends the data; what follows
        // is notes. Four bytes at most to a character: a long line is long
        // enough without counting.
        while (input.readLine(line)
               && (line.size() >= 4 * kShortestDataRow || characterCount(line) >= kShortestDataRow)) {
            ++lineNumber;
            FieldSplitter fields(line, layout);
            row.clear();
            auto put = [&row](std::string_view text) {
                if (!row.empty())
                    row += ' ';
                row += text;
            };
            for (int column = 1; column <= run.columnCount; ++column) {
                const std::string_view field = fields.next().value_or(std::string_view());
                const int code = layout.variable(column);
                if (field.empty()) {
                    // Blank-separated rows have no empty fields: a short row
                    // is left to the missing-value check, as always.
                    if (blanks)
                        break;
                    if (code <= kIgnore) {
                        put("0");
                    } else if (sign && code != kDate) {
                        put(*sign);
                    } else {
                        if (missing.empty() || missing.back().line != lineNumber)
                            missing.push_back({lineNumber, column, line});
                        put("0");
                    }
                    continue;
                }
                if (code == kDate) {
                    const DateText date = readDateText(field, layout.unit(column));
                    if (date.kind == DateText::Kind::NotADate)
                        stopAt(run, lineNumber, column, kInvalidNumericInput);
                    if (date.kind == DateText::Kind::Impossible)
                        stopAt(run, lineNumber, column, kDataFormatProblem);
                    const int value = date.year * 10000 + date.month * 100 + date.day;
                    const auto end = std::to_chars(dateDigits, dateDigits + sizeof dateDigits, value).ptr;
                    put(std::string_view(dateDigits, static_cast<std::size_t>(end - dateDigits)));
                    continue;
                }
                if (code == kPrecip && field == layout.traceCode) {
                    if (traces++ == 0)
                        firstTraceLine = lineNumber;
                    put("0");
                    continue;
                }
                std::string_view number = field;
                if (!blanks && number.front() == '+')
                    number.remove_prefix(1);
                if (!isPlainNumber(number, point)) {
                    // An ignored column stays one number, so that text
                    // such as a time (00:00) cannot split it and shift the
                    // columns after it. Text in a column that is read:
                    // blank-separated rows leave it to the cleaning every
                    // run does.
                    if (code <= kIgnore)
                        put("0");
                    else if (blanks)
                        put(field);
                    else
                        stopAt(run, lineNumber, column, kInvalidNumericInput);
                    continue;
                }
                if (point == '.') {
                    put(number);
                    continue;
                }
                const std::size_t comma = number.find(',');
                put(number.substr(0, comma));
                if (comma != std::string_view::npos) {
                    row += '.';
                    row += number.substr(comma + 1);
                }
            }
            if (blanks) {
                row += ' ';
                row += fields.rest();
            }
            // Every data row keeps the length that marks it as one.
            if (row.size() < kShortestDataRow)
                row.resize(kShortestDataRow, ' ');
            output.writeLine(row);
        }
        output.close();
    }
    if (!missing.empty()) {
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
        run.ui.notice(std::to_string(traces) + " precipitation value" + (traces == 1 ? "" : "s") + " written as "
                      + layout.traceCode + " (a trace) read as 0; the first on input line "
                      + std::to_string(firstTraceLine));
}

} // namespace pluvora
