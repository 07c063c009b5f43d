#pragma once

#include <map>
#include <optional>
#include <string_view>
#include <vector>

// Which units a column's values fit, for the layout suggestion.
namespace pluvora::suggest {

// Share of values a unit must hold in its range.
inline constexpr double kFits = 0.95;

// The variable code of a variable box item, -1 for none.
int variableCode(std::string_view item);
bool variableHasUnit(int code, std::string_view unit);

struct Range {
    double low;
    double high;
};

// Values a day can hold in a unit; a unit in tenths also holds whole numbers only.
std::optional<Range> plausibleRange(std::string_view variable, std::string_view unit);
// One of the whole-number missing-value signs services use.
bool isSignValue(double v);

// One field down the data rows.
struct FieldValues {
    std::vector<std::string_view> tokens;   // non-empty tokens
    std::vector<double> numbers;            // those that are numbers, sign values left out
    std::vector<int> numberLines;           // 0-based sample line of each number
    int empty = 0, firstEmptyLine = -1;
    int text = 0, firstTextLine = -1;
    std::string_view textSample;
    std::map<int, int> signCounts;          // sign value -> count
    std::map<std::string_view, int> missingWords; // "NA", "M", "-" ... -> count
};

// A word services write for a missing value ("NA", "M", "null", "-", "***").
bool isMissingWord(std::string_view text);

// Whether the values fit `variable` in `unit`: in its range, and for solar
// and rain as a series of days can hold.
bool fits(const FieldValues& values, std::string_view variable, std::string_view unit);
bool wholeNumbersIn(const FieldValues& values, double low, double high);
// Mostly counting up by one from line to line, as a day column does.
bool countsUp(const FieldValues& values);

} // namespace pluvora::suggest
