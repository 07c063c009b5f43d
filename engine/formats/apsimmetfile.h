#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// The head of a weather file of the APSIM crop model (.met): a section line,
// `name = value (unit) ! comment` constants and `!` comment lines, then a
// row of column names and a row of units in parentheses; one row a day
// follows. A generic reader takes the constants for data and the units row
// for a row of values, so the file is read by its own rules.
struct ApsimMetHead {
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::optional<double> tav; // annual mean temperature, oC
    std::optional<double> amp; // annual amplitude of the monthly means, oC
    std::vector<std::string> names; // lower case, as "year", "day", "radn"
    std::vector<std::string> units; // without the parentheses; "" for "()"
    int rowsBefore = 0;             // lines before the first day
};

inline constexpr const char* kNotApsimMet = "This is no APSIM weather file: it has no row of units in parentheses "
                                            "under a row of column names.";
inline constexpr const char* kApsimMetRowWidth = "An APSIM weather row holds more or fewer values than the file "
                                                 "has column names.";

// Whether a file's first lines look like a .met file: a units row of the
// same number of items right under a names row.
bool looksLikeApsimMet(std::string_view firstLines);

// Reads the head, leaving `in` at the first day; throws Error (kNotApsimMet)
// when the units row does not come within the first 200 lines.
ApsimMetHead readApsimMetHead(std::istream& in);

// The values of one day's row, one per column name: "?", "*" and "NaN"
// are missing. Throws Error for a row of another width or a text that is no
// number.
std::vector<std::optional<double>> readApsimMetRow(std::string_view line, std::size_t columns);

} // namespace pluvora
