#include "engine/record/humidity.h"

#include "engine/methods/penmanmonteith.h"

#include <algorithm>

namespace pluvora {

double conversionUnitVapour(std::string_view unit)
{
    if (unit == "kPa")
        return 1.0;
    if (unit == "hPa")
        return 0.1;
    if (unit == "Pa")
        return 0.001;
    return 0.0;
}

bool derivesHumidity(const ColumnSpec& spec, int columnCount)
{
    return (spec.hasColumn(kDewPt, columnCount) || spec.hasColumn(kVapPr, columnCount))
        && !spec.hasColumn(kRelHum, columnCount) && spec.hasColumn(kTmax, columnCount)
        && spec.hasColumn(kTmin, columnCount);
}

bool hasHumidity(const ColumnSpec& spec, int columnCount)
{
    return spec.hasColumn(kRelHum, columnCount) || derivesHumidity(spec, columnCount);
}

void deriveHumidity(Record& record, const ColumnSpec& spec, int columnCount)
{
    // Once a record, not once a value: the rare units every task reads in
    // others.
    if (spec.relHumFraction | spec.sunMinutes) [[unlikely]] {
        if (spec.relHumFraction && record.has(kRelHum))
            record.relHum *= 100.0;
        if (spec.sunMinutes && record.has(kSunHr))
            record.sunHr /= 60.0;
    }
    // Most files have neither form: two flags decide that.
    if (!record.has(kDewPt) && !record.has(kVapPr))
        return;
    if (!derivesHumidity(spec, columnCount))
        return;
    const TemperatureUnit temperature = temperatureUnit(spec.unit(kTmax));
    const double tmean = (toCelsius(record.tmax, temperature) + toCelsius(record.tmin, temperature)) / 2.0;
    const double ea = record.has(kVapPr)
        ? record.vapPr * conversionUnitVapour(spec.unit(kVapPr))
        : methods::saturationVaporPressure(toCelsius(record.dewPt, temperatureUnit(spec.unit(kDewPt))));
    record.relHum = std::min(100.0, 100.0 * ea / methods::saturationVaporPressure(tmean));
    record.present[kRelHum] = true;
}

} // namespace pluvora
