#include "engine/record/record.h"

#include <cmath>
#include <limits>

namespace pluvora {

void Record::resetVariables()
{
    const auto flags = present;
    *this = Record{};
    present = flags;
}

int asWholeNumber(double value)
{
    constexpr double kLow = std::numeric_limits<int>::min();
    constexpr double kHigh = std::numeric_limits<int>::max();
    const double rounded = std::nearbyint(value);
    if (!(rounded >= kLow))
        return std::numeric_limits<int>::min();
    if (rounded > kHigh)
        return std::numeric_limits<int>::max();
    return static_cast<int>(rounded);
}

namespace {

void assignYydoy(Record& record, double value)
{
    record.present[kYear] = true;
    record.present[kDoy] = true;
    const double whole = std::nearbyint(value);
    // Seven digits are a four-digit year and its day (1996001); read as
    // yyddd they would give the year 3896.
    if (whole >= 1e6 && whole < 1e7) {
        const int number = static_cast<int>(whole);
        record.year = number / 1000;
        record.doy = number % 1000;
        record.yydoyNotADate = false;
        return;
    }
    // The century is added before saturating: a saturated yy plus 1900
    // would overflow.
    const double thousands = std::trunc(value / 1000.0);
    record.year = asWholeNumber(thousands + (thousands <= 20 ? 2000.0 : 1900.0));
    const double quotient = whole / 1000.0;
    const double fraction = quotient - std::trunc(quotient);
    record.doy = asWholeNumber(fraction * 1000.0);
    record.yydoyNotADate = std::fabs(whole) >= 1e5;
}

// A Date column reaches the stages as the number yyyymmdd.
void assignDate(Record& record, double value)
{
    const long long date = std::llround(value);
    record.year = static_cast<int>(date / 10000);
    record.month = static_cast<int>(date / 100 % 100);
    record.day = static_cast<int>(date % 100);
    record.present[kYear] = true;
    record.present[kMonth] = true;
    record.present[kDay] = true;
}

} // namespace

void assignValue(Record& record, const ColumnSpec& spec, int column, double value)
{
    if (column < 1 || column > kColumnBoxes)
        return;
    const int code = spec.columnVariable[static_cast<std::size_t>(column)];
    switch (code) {
    case kIgnore: record.ignored = value; return;
    case kYear: record.year = asWholeNumber(value); break;
    case kMonth: record.month = asWholeNumber(value); break;
    case kDay: record.day = asWholeNumber(value); break;
    case kDoy: record.doy = asWholeNumber(value); break;
    case kSolar: record.solar = value; break;
    case kTmax: record.tmax = value; break;
    case kTmin: record.tmin = value; break;
    case kPrecip: record.precip = value; break;
    case kRelHum: record.relHum = value; break;
    case kWndSpd: record.wndSpd = value; break;
    case kSoilT: record.soilT = value; break;
    case kEt: record.et = value; break;
    case kPanEvap: record.panEvap = value; break;
    case kSunHr: record.sunHr = value; break;
    case kSunHrPercent: record.sunHrPercent = value; break;
    case kYydoy: assignYydoy(record, value); return;
    case kDate: assignDate(record, value); return;
    case kDewPt: record.dewPt = value; break;
    case kVapPr: record.vapPr = value; break;
    default: return;
    }
    record.present[static_cast<std::size_t>(code)] = true;
}

double conversionUnitSolar(std::string_view unit)
{
    if (unit == "MJ/m2/d")
        return 1.0;
    if (unit == "Langley")
        return 0.04186;
    if (unit == "Cal/cm2/d")
        return 0.041868;
    if (unit == "W/m2")
        return 0.0864;
    if (unit == "kWh/m2/d")
        return 3.6;
    if (unit == "J/cm2")
        return 0.01;
    // The same calorie as "Langley", so a file gives one value whichever
    // name its column is given.
    if (unit == "cal/cm2")
        return 0.04186;
    if (unit == "kJ/m2/d")
        return 0.001;
    if (unit == "Wh/m2/d")
        return 0.0036;
    return 0.0;
}

double conversionUnitForWater(std::string_view unit)
{
    if (unit == "mm")
        return 1.0;
    if (unit == "cm")
        return 10.0;
    if (unit == "inch")
        return 25.4;
    if (unit == "0.1 mm")
        return 0.1;
    return 0.0;
}

double conversionUnitWS(std::string_view unit)
{
    if (unit == "km/hr")
        return 1.0 / 3.6;
    if (unit == "mile/hr")
        return 1.609 / 3.6;
    if (unit == "m/s")
        return 1.0;
    if (unit == "km/d")
        return 1000.0 / 86400.0;
    if (unit == "knot")
        return 1852.0 / 3600.0;
    if (unit == "0.1 m/s")
        return 0.1;
    return 0.0;
}

TemperatureUnit temperatureUnit(std::string_view unit)
{
    if (unit == "oC")
        return TemperatureUnit::Celsius;
    if (unit == "oF")
        return TemperatureUnit::Fahrenheit;
    if (unit == "0.1 oC")
        return TemperatureUnit::TenthCelsius;
    return TemperatureUnit::Unknown;
}

double toCelsius(double value, TemperatureUnit unit)
{
    switch (unit) {
    case TemperatureUnit::Fahrenheit: return fahrenheitToCelsius(value);
    // A division, not a product with 0.1: the tenth is then the nearest
    // value to what the file says.
    case TemperatureUnit::TenthCelsius: return value / 10.0;
    case TemperatureUnit::Celsius:
    case TemperatureUnit::Unknown: break;
    }
    return value;
}

std::optional<int> dayOfYear(int year, int month, int day)
{
    static constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    static constexpr int kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int length = kLength[month - 1] + (month == 2 && leap ? 1 : 0);
    if (day > length)
        return std::nullopt;
    return kDaysBefore[month - 1] + day + (month > 2 && leap ? 1 : 0);
}

} // namespace pluvora
