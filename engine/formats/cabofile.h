#pragma once

#include <istream>
#include <optional>
#include <string_view>

namespace pluvora {

// A CABO weather file of the WOFOST models (NAME.yyy, one year a file): `*`
// comment lines, a station line `lon lat elev A B` (A and B of the
// Angstrom formula), then one row a day of nine fixed items.
struct CaboHead {
    double longitude = 0;
    double latitude = 0;
    double elevation = 0;
    double angstromA = 0;
    double angstromB = 0;
    int rowsBefore = 0; // lines before the first day
};

// A day as the file's units hold it; -99 in any form is missing.
struct CaboDay {
    int station = 0;
    int year = 0;
    int doy = 0;
    std::optional<double> irradiation;   // kJ/m2/d
    std::optional<double> tmin;          // oC
    std::optional<double> tmax;          // oC
    std::optional<double> vapourPressure; // kPa
    std::optional<double> wind;          // m/s
    std::optional<double> rain;          // mm
};

inline constexpr const char* kNotCabo =
    "This is no CABO weather file: no station line of five numbers follows its comment lines.";
inline constexpr const char* kCaboRow = "A CABO weather row holds nine numbers: station, year, day, "
                                        "irradiation, T-min, T-max, vapour pressure, wind and rain.";

// Reads the comment lines and the station line, leaving `in` at the first
// day; throws Error (kNotCabo).
CaboHead readCaboHead(std::istream& in);

// A day's row; nothing for a status line (its station is -999), which
// holds no day. Throws Error (kCaboRow) for any other row.
std::optional<CaboDay> readCaboDay(std::string_view line);

} // namespace pluvora
