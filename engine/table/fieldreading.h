#pragma once

#include "engine/columns/datalayout.h"
#include "engine/stage/runcontext.h"

#include <array>
#include <cstdint>
#include <optional>
#include <cstdint>
#include <string>
#include <string_view>

namespace pluvora {

inline constexpr const char* kNoFieldEnds = "Fixed widths need the position where each field ends.";
// A day in two rows (half-day readings): they cannot be joined yet.
std::string repeatedDayMessage(int date);

inline constexpr const char* kDecimalCommaWithCommaFields =
    "A decimal comma cannot be read from fields separated by commas.";

// One field of a data row as the layout splits it: blanks around it and the
// quotes of a quoted field are not part of it.
class FieldSplitter {
public:
    FieldSplitter(std::string_view line, const DataLayout& layout);
    // The next field; nothing once the row has no more. An empty or blank
    // field between two separators is an empty view.
    std::optional<std::string_view> next();
    // What follows the last field given (blank-separated rows only).
    std::string_view rest() const { return mLine.substr(std::min(mPos, mLine.size())); }
    // Blank-separated rows: passes over a time of day ("12:00", "07:01:30")
    // that is the next field, as it belongs to the date before it.
    void skipTimeOfDay();

private:
    std::string_view mLine;
    const DataLayout& mLayout;
    char mSeparator = 0;
    std::size_t mPos = 0;
    std::size_t mField = 0;
};

// Rewrites one data row at a time as the blank-separated numbers every
// stage reads: each field of columns 1 to columnCount becomes one number, a
// date its yyyymmdd. An empty field of a read column is a missing value:
// the `sign` when substitution will replace it.
class ReadingNotices;

class FieldRowWriter {
public:
    struct Result {
        int tokens = 0; // one per column, fewer for a short blank-separated row
        std::string_view rest; // after the last column (blank-separated rows only)
        std::size_t length = 0; // of the rewritten row at the start of `row`
        int firstMissing = 0; // the first column left empty, 0 for none
        std::uint32_t missingColumns = 0; // bit 1 << column for each left empty
        std::size_t traces = 0; // precipitation fields holding the trace code
        std::uint32_t filled = 0; // bit k: column k + 1 was empty or a missing text, now the sign
        std::uint32_t flagged = 0; // bit k: column k + 1 had a flag glued after its number
        int date = 0; // yyyymmdd of the row's Date column, 0 for none
        bool timed = false; // that date had a time of day after it
        int stopColumn = 0;
        const char* message = nullptr; // the run stops at stopColumn
        Result& stop(int column, const char* text)
        {
            stopColumn = column;
            message = text;
            return *this;
        }
    };
    using Tokens = std::array<std::string_view, kColumnBoxes>;

    // The message of a layout whose fields cannot be read; null when they
    // can.
    static const char* layoutFault(const DataLayout& layout);

    FieldRowWriter(const DataLayout& layout, int columnCount, std::optional<std::string_view> sign);

    // The row's columns as the numbers the stages read, one token each:
    // views into `line`, into constants, or into `scratch` for a field
    // that is rewritten.
    Result split(std::string_view line, std::string& scratch, Tokens& tokens) const;
    // The row written whole at the start of `row`, which is grown as
    // needed and never shrunk: its first `length` bytes are the row.
    Result rewrite(std::string_view line, std::string& row, Tokens* tokens = nullptr);

    // Rows whose fields split() would only pass on as they stand: no
    // date, no missing texts, no trace code, fields not split on blanks.
    bool plainFields() const { return mPlainFields; }
    // For plainFields(): the values of columns 1 to columnCount when each
    // field is a plain number (-ddd.ddd, up to 15 characters and 3
    // decimals, blanks around it), read as the streamed pass reads split()'s
    // tokens; false for any other row, which split() then reads.
    bool readPlainFields(std::string_view line, double* values) const;

    std::string_view traceCode() const { return mLayout.traceCode; }
    bool blankSeparated() const { return mBlanks; }
    // What a filled field was, for the notice: "empty field or NA, null".
    std::string missingLabel() const;
    std::optional<std::string_view> sign() const { return mSign; }

private:
    const DataLayout& mLayout;
    int mColumnCount;
    std::optional<std::string_view> mSign;
    bool mBlanks;
    char mPoint;
    char mSeparator;
    bool mPlainFields = false;
    std::string mScratch;
};

std::string traceNotice(std::size_t traces, std::string_view traceCode, int firstLine);

// Rewrites the data rows of "Input.~" with a FieldRowWriter, for a layout
// that is not read as blank-separated already. Missing values without
// substitution stop the run with the rows listed; a field that is text
// where a number or a date is read stops it naming its line and column
// (run.badInput). Sign values, filled fields and glued flags go to
// `notices`, which cannot tell them apart once the rows are rewritten.
void readFields(RunContext& run, const DataLayout& layout, std::optional<std::string_view> sign,
                ReadingNotices* notices = nullptr);

// A number written with an exponent ("1.04E+01", "-5e-3") as the plain
// decimal every stage reads, into `out` (room for kLongestPlainNumber);
// its end, or null for any other text or a decimal longer than that.
// `signedExponent`: only an exponent with its sign, the form programs
// write, so that 1e3 in a blank-separated row still reads as 1 and 3.
inline constexpr std::size_t kLongestPlainNumber = 40;
char* plainFromExponent(std::string_view text, char point, bool signedExponent, char* out);

// The length of the number at the start of `text` when only a quality flag
// follows it: one to three letters or '*' ("90.0*", "0.39G"); 0 otherwise.
std::size_t numberBeforeFlag(std::string_view text, char point);

} // namespace pluvora
