#include "engine/modelfiles/modelvalues.h"

#include "engine/methods/penmanmonteith.h"
#include "engine/methods/solargeometry.h"

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

std::optional<double> grassReferenceET(const ModelDay& day, const ModelSite& site)
{
    if (!day.solar || !day.tmax || !day.tmin || !day.relHum || !day.wind)
        return std::nullopt;
    methods::PenmanMonteithInput in;
    in.Rs = *day.solar;
    in.Tmax = *day.tmax;
    in.Tmin = *day.tmin;
    in.RH = *day.relHum;
    in.u = *day.wind;
    in.J = day.doy;
    in.phi = methods::degreesToRadians(site.latitude);
    in.z = site.elevation;
    const auto result = methods::alfalfaReferenceET(in);
    if (!result)
        return std::nullopt;
    return result.value.ET0;
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
