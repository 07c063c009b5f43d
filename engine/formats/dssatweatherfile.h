#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// A column of a DSSAT weather file (.WTH): its name in the `@` row and the
// character span under it. Values are right-aligned under their names, and
// one may touch the next, so a row is cut by these spans, never at blanks.
struct DssatColumn {
    std::string name;
    std::size_t begin = 0; // first character, 0-based
    std::size_t end = 0;   // one past the last: the end of the name
};

struct DssatSite {
    std::string station; // INSI
    std::optional<double> latitude;
    std::optional<double> longitude; // east positive, as the file writes it
    std::optional<double> elevation;
    std::optional<double> tav;
    std::optional<double> amp;
};

struct DssatHead {
    DssatSite site;
    std::vector<DssatColumn> columns; // of the day rows; the first is DATE
    int rowsBefore = 0;               // lines before the first day
};

struct DssatDay {
    int year = 0;
    int doy = 0;
    std::vector<std::optional<double>> values; // per column after DATE; -99 is missing
};

inline constexpr const char* kNotDssatWeather =
    "This is no DSSAT weather file: no @ row with DATE comes within its first lines.";
inline constexpr const char* kDssatBadDate = "A DSSAT date is YYDDD or YYYYDDD.";

// The columns of an `@` row: each name spans from after the one before it
// to its own end.
std::vector<DssatColumn> dssatColumns(std::string_view atRow);

// Reads the head, leaving `in` at the first day; throws Error
// (kNotDssatWeather) when there is none within 100 lines.
DssatHead readDssatHead(std::istream& in);

// One day's row cut by the head's spans. YYDDD takes the century as the
// YYDOY column does (up to 20 is 20xx); throws Error for a date that is
// neither form or a value that is no number.
DssatDay readDssatDay(std::string_view line, const std::vector<DssatColumn>& columns);

} // namespace pluvora
