#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pluvora {

// Locale-independent conversions between numbers and text; "." is always
// the decimal point.

// A decimal number: optional leading minus, digits, optional point and
// fraction digits. Anything else (a lone "-", "1-2", "1.2.3", "1e3") is not one.
std::optional<double> parseDecimal(std::string_view text);
// A whole number: optional leading minus and digits, within the int range.
std::optional<int> parseInteger(std::string_view text);

// The one syntax of every number a person types into a box: surrounding
// blanks, at most one sign ("+" or "-"), digits with an optional point,
// an optional exponent ("e", its own optional sign, digits). "+-5", "-+5",
// "--5", "1e", "inf" and "nan" are no numbers.
std::optional<double> parseTypedNumber(std::string_view text);

// Fixed point with `decimals` decimals, halves away from zero as a person
// reads the value: the value is first taken to 15 significant digits, so
// 12.345 (stored as 12.3449999...) gives 12.35. Never "-0.0".
std::string formatFixed(double value, int decimals);

// formatFixed into `out`, which must hold kFixedTextCapacity bytes; returns
// the end of the text. No allocation: the form the data passes use.
inline constexpr std::size_t kFixedTextCapacity = 400;
char* formatFixedTo(char* out, double value, int decimals);

// Shortest general form up to 15 significant digits: 40.5, -96.25, 350.
std::string formatGeneral(double value);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4);
// values beyond the long long range give its nearest end.
long long roundHalfEven(double value);

} // namespace pluvora
