#pragma once

#include <optional>
#include <string_view>
#include <vector>

// The text of a file's fields as the layout suggestion sees it.
namespace pluvora::suggest {

// The separator that stands for runs of blanks.
inline constexpr char kBlanks = ' ';

bool isBlank(char c);
bool isDigit(char c);
bool allDigits(std::string_view s);
int digitsValue(std::string_view s);
std::string_view trimmed(std::string_view s);
// A quality letter or mark as services put beside a value.
bool isFlag(std::string_view s);
// A field without the quotes around it.
std::string_view unquoted(std::string_view s);

// Fields of one line. Blanks: runs of blanks separate. Otherwise the
// separator does, double quotes hold a separator as text, and blanks around
// a field are not part of it.
std::vector<std::string_view> splitFields(std::string_view line, char sep);
// Fields at fixed positions: `ends` holds where each ends (1-based).
std::vector<std::string_view> splitFixed(std::string_view line, const std::vector<int>& ends);

std::optional<double> numberIn(std::string_view text, bool decimalComma);
// "12,5": digits, one comma, digits.
bool isDecimalCommaNumber(std::string_view s);

} // namespace pluvora::suggest
