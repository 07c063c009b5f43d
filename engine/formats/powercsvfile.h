#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// The head of a NASA POWER daily CSV: a `-BEGIN HEADER-` ... `-END HEADER-`
// block that names the site, the fill value of missing data and each
// parameter with its unit, then a row of column names.
struct PowerCsvHead {
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::optional<double> elevation; // metres
    double fillValue = -999;
    std::vector<std::string> names; // as the names row writes them
    std::vector<std::string> units; // per name, from the parameter list; "" for the date columns
    // The date is YEAR, MO and DY, or YEAR and DOY: the columns holding them.
    int yearColumn = -1, monthColumn = -1, dayColumn = -1, doyColumn = -1;
    int rowsBefore = 0; // lines before the first day
};

struct PowerDay {
    int year = 0;
    int month = 0; // 0 with a day of the year
    int day = 0;   // of the month, or of the year when month is 0
    std::vector<std::optional<double>> values; // per name; the fill value is missing
};

inline constexpr const char* kNotPowerCsv =
    "This is no NASA POWER file: it does not begin with -BEGIN HEADER- and end it with -END HEADER-.";
inline constexpr const char* kPowerNoDate = "A NASA POWER file needs YEAR with MO and DY, or YEAR with DOY.";
inline constexpr const char* kPowerRowWidth = "A NASA POWER row holds more or fewer values than the file has names.";

// Reads the head, leaving `in` at the first day; throws Error.
PowerCsvHead readPowerCsvHead(std::istream& in);

// One day's row; throws Error for a row of another width or a value that
// is no number.
PowerDay readPowerDay(std::string_view line, const PowerCsvHead& head);

} // namespace pluvora
