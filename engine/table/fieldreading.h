#pragma once

#include "columns/datalayout.h"
#include "stage/runcontext.h"

#include <optional>
#include <string_view>

namespace pluvora {

inline constexpr const char* kNoFieldEnds = "Fixed widths need the position where each field ends.";
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

private:
    std::string_view mLine;
    const DataLayout& mLayout;
    char mSeparator = 0;
    std::size_t mPos = 0;
    std::size_t mField = 0;
};

// Rewrites the data rows of "Input.~" as the blank-separated numbers every
// stage reads, for a layout that is not read that way already: each field
// of columns 1 to columnCount becomes one number, a date its yyyymmdd. An
// empty field of a read column is a missing value: the `sign` when
// substitution will replace it, otherwise the run stops with the rows
// listed. A field that is text where a number or a date is read stops the
// run naming its line and column (run.badInput).
void readFields(RunContext& run, const DataLayout& layout, std::optional<std::string_view> sign);

} // namespace pluvora
