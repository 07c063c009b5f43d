#include "engine/suggest/unitevidence.h"

#include "engine/columns/variablecatalogue.h"
#include "engine/record/record.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pluvora::suggest {

namespace {

constexpr std::array<int, 3> kSigns{-99, -999, -9999};

} // namespace

int variableCode(std::string_view item)
{
    const auto items = variableItems();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == item)
            return static_cast<int>(i);
    return -1;
}

bool variableHasUnit(int code, std::string_view unit)
{
    const auto units = variableInfo(code).units;
    return std::find(units.begin(), units.end(), unit) != units.end();
}


std::optional<Range> plausibleRange(std::string_view variable, std::string_view unit)
{
    struct Row {
        std::string_view variable;
        std::string_view unit;
        Range range;
    };
    static constexpr Row kRows[] = {
        {"T-max", "oC", {-70, 60}},        {"T-max", "oF", {-95, 140}},
        {"T-max", "0.1 oC", {-700, 600}},  {"T-min", "oC", {-90, 45}},
        {"T-min", "oF", {-130, 115}},      {"T-min", "0.1 oC", {-900, 450}},
        {"Soil-T", "oC", {-50, 70}},       {"Soil-T", "oF", {-60, 160}},
        {"DewPt", "oC", {-80, 40}},        {"DewPt", "oF", {-110, 105}},
        {"Precip", "mm", {0, 1000}},       {"Precip", "cm", {0, 100}},
        {"Precip", "inch", {0, 40}},       {"Precip", "0.1 mm", {-1, 10000}},
        {"ET", "mm", {0, 30}},             {"ET", "cm", {0, 3}},
        {"ET", "inch", {0, 1.2}},          {"ET", "0.1 mm", {0, 300}},
        {"PanEvap", "mm", {0, 40}},        {"PanEvap", "cm", {0, 4}},
        {"PanEvap", "inch", {0, 1.6}},     {"Solar", "MJ/m2/d", {0, 45}},
        {"Solar", "Langley", {0, 1100}},   {"Solar", "cal/cm2", {0, 1100}},
        {"Solar", "W/m2", {0, 520}},       {"Solar", "kWh/m2/d", {0, 12.5}},
        {"Solar", "J/cm2", {0, 4500}},     {"RelHum", "%", {0, 100.5}},
        {"SunHr%", "%", {0, 100.5}},       {"SunHr", "hr", {0, 24}},
        {"SunHr", "0.1 hr", {-1, 240}},    {"WndSpd", "m/s", {0, 60}},
        {"WndSpd", "km/hr", {0, 200}},     {"WndSpd", "mile/hr", {0, 130}},
        {"WndSpd", "km/d", {0, 5000}},     {"WndSpd", "knot", {0, 120}},
        {"WndSpd", "0.1 m/s", {0, 600}},   {"VapPr", "kPa", {0, 8}},
        {"VapPr", "hPa", {0, 80}},         {"VapPr", "Pa", {0, 8000}},
        {"Solar", "kJ/m2/d", {0, 45000}},  {"Solar", "Wh/m2/d", {0, 12500}},
        {"RelHum", "fraction", {0, 1.005}}, {"SunHr", "min", {0, 1440}},
    };
    for (const auto& row : kRows)
        if (row.variable == variable && row.unit == unit)
            return row.range;
    return std::nullopt;
}

bool isSignValue(double v)
{
    return std::any_of(kSigns.begin(), kSigns.end(),
                       [v](int s) { return std::abs(v - s) < 0.5; });
}


namespace {


// A day's solar radiation reaches at most the top of the atmosphere's
// (under 45 MJ/m2 anywhere), and a series of days reaches well above a
// few MJ/m2 on its sunniest: a unit that puts the brightest days outside
// that is not the file's.
bool solarTotalsFit(const FieldValues& values, std::string_view unit)
{
    std::vector<double> sorted = values.numbers;
    const auto top = sorted.begin() + static_cast<std::ptrdiff_t>(static_cast<double>(sorted.size() - 1) * 0.99);
    std::nth_element(sorted.begin(), top, sorted.end());
    const double brightest = *top * conversionUnitSolar(unit);
    return brightest <= 45 && (sorted.size() < 30 || brightest >= 4);
}

// Rain is never below 0 (but for a trace code) and a long series has dry
// days.
bool rainFits(const FieldValues& values, std::string_view unit)
{
    std::size_t dry = 0;
    for (double v : values.numbers) {
        if (v < 0 && !(v == -1 && unit == "0.1 mm"))
            return false;
        dry += v <= 0;
    }
    return values.numbers.size() < 30 || dry * 20 >= values.numbers.size();
}

} // namespace

bool isMissingWord(std::string_view text)
{
    static constexpr std::string_view kWords[] = {"M",  "NA", "N/A", "na",  "null", "NULL", "-", "--",
                                                  "---", "***", "NaN", "nan", "?",   "*"};
    return std::find(std::begin(kWords), std::end(kWords), text) != std::end(kWords);
}

bool fits(const FieldValues& values, std::string_view variable, std::string_view unit)
{
    const auto range = plausibleRange(variable, unit);
    if (!range || values.numbers.empty())
        return false;
    const bool tenths = unit.substr(0, 4) == "0.1 ";
    std::size_t inRange = 0;
    for (double v : values.numbers) {
        if (tenths && v != std::floor(v))
            return false;
        if (v >= range->low && v <= range->high)
            ++inRange;
    }
    if (inRange < kFits * static_cast<double>(values.numbers.size()))
        return false;
    if (variable == "Solar")
        return solarTotalsFit(values, unit);
    if (variable == "Precip")
        return rainFits(values, unit);
    return true;
}

bool wholeNumbersIn(const FieldValues& values, double low, double high)
{
    return !values.numbers.empty() && values.numbers.size() == values.tokens.size() &&
           std::all_of(values.numbers.begin(), values.numbers.end(), [&](double v) {
               return v == std::floor(v) && v >= low && v <= high;
           });
}

bool countsUp(const FieldValues& values)
{
    std::size_t steps = 0;
    for (std::size_t i = 1; i < values.numbers.size(); ++i)
        steps += values.numbers[i] == values.numbers[i - 1] + 1;
    return values.numbers.size() > 1 && steps * 2 >= values.numbers.size();
}

} // namespace pluvora::suggest
