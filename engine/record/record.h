#pragma once

#include "engine/columns/columnspec.h"

#include <array>
#include <optional>
#include <string_view>

namespace pluvora {

// The current record: one field per variable, values as read in the input's
// units, and a presence flag per variable that stays set for the whole run
// once a value of it has been read.
struct Record {
    int year = 0;
    int month = 0;
    int day = 0;
    int doy = 0;
    double solar = 0;
    double tmax = 0;
    double tmin = 0;
    double precip = 0;
    double relHum = 0;
    double wndSpd = 0;
    double soilT = 0;
    double et = 0;
    double panEvap = 0;
    double sunHr = 0;
    double sunHrPercent = 0;
    double dewPt = 0;
    double vapPr = 0;
    double ignored = 0;
    // The last YYDOY value had six digits, or eight or more: no year and
    // day in either form, whatever year and DOY were made of it.
    bool yydoyNotADate = false;

    // Indexed by variable code (index 0 unused; YYDOY sets Year and DOY).
    std::array<bool, kVariableCount> present{};

    bool has(int code) const { return present[static_cast<std::size_t>(code)]; }

    void resetVariables();
    void setFalseToAll() { present.fill(false); }
};

// A date column's value as the record holds it: halves to even. A value
// beyond the int range (a stray 1e20) saturates instead of overflowing;
// the checkup then rejects it.
int asWholeNumber(double value);

// Files `value`, read from `column` (1-based), under that column's variable.
void assignValue(Record& record, const ColumnSpec& spec, int column, double value);

// Unit factors to MJ/m2/d, mm and m/s; an unlisted text (the empty one
// included) gives 0. Texts compare exactly.
double conversionUnitSolar(std::string_view unit);
double conversionUnitForWater(std::string_view unit);
double conversionUnitWS(std::string_view unit);

inline double fahrenheitToCelsius(double value) { return (value - 32.0) / 1.8; }

// A temperature column's unit text. Each task decides for itself what an
// unknown text means, so this only names the known ones.
enum class TemperatureUnit { Celsius, Fahrenheit, TenthCelsius, Unknown };
TemperatureUnit temperatureUnit(std::string_view unit);
// Unknown is taken as Celsius: the caller maps it first where it means
// something else.
double toCelsius(double value, TemperatureUnit unit);

// Day of the year of a Gregorian date (1 January is 1); nothing for a date
// that does not exist.
std::optional<int> dayOfYear(int year, int month, int day);

} // namespace pluvora
