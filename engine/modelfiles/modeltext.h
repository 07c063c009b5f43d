#pragma once

#include <string>

namespace pluvora {

// `value` right-aligned in `width` characters with `decimals` decimals,
// rounded as the present weather file rounds it (halves away from zero,
// never "-0.0"), appended to `line`.
void appendFixed(std::string& line, double value, int width, int decimals);
// As appendFixed, with a blank before a value that fills its width, for
// readers that split on blanks.
void appendColumn(std::string& line, double value, int width, int decimals);
// `value` with at most `decimals` decimals and no trailing zeros ("3",
// "0.55"); never "-0".
std::string plainNumber(double value, int decimals);

} // namespace pluvora
