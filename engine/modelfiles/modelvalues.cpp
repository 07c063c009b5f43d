#include "engine/modelfiles/modelvalues.h"

#include "engine/methods/penmanmonteith.h"

namespace pluvora {

std::optional<double> vapourPressure(const ModelDay& day)
{
    if (day.vapPr)
        return *day.vapPr;
    if (day.dewPt)
        return methods::saturationVaporPressure(*day.dewPt);
    if (day.relHum && day.tmax && day.tmin)
        return *day.relHum / 100.0 * methods::saturationVaporPressure((*day.tmax + *day.tmin) / 2);
    return std::nullopt;
}

DssatValues::DssatValues(const ModelDay& day)
{
    std::optional<double> wind;
    if (day.wind)
        wind = *day.wind * kSecondsPerDayInKm;
    mColumns = {{{"SRAD", day.solar},
                 {"TMAX", day.tmax},
                 {"TMIN", day.tmin},
                 {"RAIN", day.precip},
                 {"DEWP", day.dewPt},
                 {"WIND", wind},
                 {"RHUM", day.relHum}}};
}

} // namespace pluvora
