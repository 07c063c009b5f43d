#include "engine/columns/variablecatalogue.h"

#include "engine/columns/datetext.h"

namespace pluvora {

namespace {

constexpr std::string_view kNoUnits[] = {""};
// Templates store unit indexes: new units go at the end of a list.
constexpr std::string_view kSolarUnits[] = {"MJ/m2/d", "Langley", "W/m2",    "kWh/m2/d",
                                            "J/cm2",   "cal/cm2", "kJ/m2/d", "Wh/m2/d"};
constexpr std::string_view kTemperatureUnits[] = {"oC", "oF", "0.1 oC"};
constexpr std::string_view kWaterUnits[] = {"mm", "cm", "inch", "0.1 mm"};
constexpr std::string_view kPercent[] = {"%"};
constexpr std::string_view kSpeedUnits[] = {"km/hr", "mile/hr", "m/s", "km/d", "knot", "0.1 m/s"};
constexpr std::string_view kHours[] = {"hr", "min"};
// Relative humidity as most stations write it, or as a fraction of 1.
constexpr std::string_view kHumidityUnits[] = {"%", "fraction"};
constexpr std::string_view kPressureUnits[] = {"kPa", "hPa", "Pa"};

const std::span<const std::string_view> kNone(kNoUnits, 0);

const VariableInfo kCatalogue[kVariableCount] = {
    {"Ignore", kNone, -1},
    {"Year", kNone, -1},
    {"Month", kNone, -1},
    {"Day", kNone, -1},
    {"DOY", kNone, -1},
    {"Solar", kSolarUnits, -1},
    {"T-max", kTemperatureUnits, -1},
    {"T-min", kTemperatureUnits, -1},
    {"Precip", kWaterUnits, -1},
    {"RelHum", kHumidityUnits, 0},
    {"WndSpd", kSpeedUnits, -1},
    {"Soil-T", kTemperatureUnits, -1},
    {"ET", kWaterUnits, -1},
    {"PanEvap", kWaterUnits, -1},
    {"SunHr", kHours, 0},
    {"SunHr%", kPercent, 0},
    {"YYDOY", kNone, -1},
    {"Date", kDateFormats, -1},
    {"DewPt", kTemperatureUnits, -1},
    {"VapPr", kPressureUnits, -1},
};

constexpr std::string_view kItems[kVariableCount] = {
    "Ignore", "Year",   "Month", "Day",     "DOY",   "Solar",  "T-max",
    "T-min",  "Precip", "RelHum", "WndSpd", "Soil-T", "ET",    "PanEvap",
    "SunHr",  "SunHr%", "YYDOY", "Date",   "DewPt", "VapPr",
};

} // namespace

const VariableInfo& variableInfo(int code)
{
    if (code < 0 || code >= kVariableCount)
        return kCatalogue[kIgnore];
    return kCatalogue[code];
}

std::span<const std::string_view> variableItems() { return kItems; }

int unitIndex(int code, std::string_view unit)
{
    const auto units = variableInfo(code).units;
    for (std::size_t k = 0; k < units.size(); ++k)
        if (units[k] == unit)
            return static_cast<int>(k);
    return -1;
}

} // namespace pluvora
