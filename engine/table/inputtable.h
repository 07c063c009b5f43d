#pragma once

#include "engine/columns/variablecatalogue.h"
#include "engine/stage/runcontext.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace pluvora {

inline constexpr const char* kColumnsNotSpecified = "Columns are not specified.";

// The number of the last column whose variable is something other than
// "Ignore" (an unselected box does not count); 0 when there is none.
int theLastColumn(const std::array<int, kColumnBoxes>& variableIndex);

// Cuts "Input.~" after the last data row: the data end at the first line
// shorter than kShortestDataRow characters. Rows below that line are told
// as a notice, not read.
inline constexpr std::size_t kShortestDataRow = 5;
void removeEndNotes(RunContext& run);

// Said when `rowsAfter` lines long enough to be rows follow `endLine` (of
// the input, 1-based), the short line that ended the data.
std::string dataEndedNotice(int endLine, int rowsAfter);

// Cleans the data area when it holds anything but digits, "-", ".", blanks
// and tabs.
void checkData(RunContext& run);

inline constexpr const char* kCleaningPass = "Cleaning the input";

// Turns every other character of the data rows into one blank, keeping
// column positions; the header rows stay as they are.
void CleanData(RunContext& run);

// Characters of a UTF-8 line (a multi-byte character counts once; a byte
// outside a valid sequence counts on its own).
std::size_t characterCount(std::string_view line);

// Whether a line is long enough to be a data row. Four bytes at most to a
// character: a long line is long enough without counting.
inline bool isDataRowLength(std::string_view line)
{
    return line.size() >= 4 * kShortestDataRow || characterCount(line) >= kShortestDataRow;
}

} // namespace pluvora
