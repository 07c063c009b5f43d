#include "engine/methods/solarfromtemperature.h"

#include "engine/methods/power.h"
#include "engine/methods/solargeometry.h"

#include <cmath>
#include <cstdlib>

namespace pluvora::methods {

double MHtransmissivity(int J)
{
    const double t = power(std::abs(182 - J) / 183.0, 1.5);
    return 0.8 + 0.12 * t;
}

void MHmodel(int J, double& Rs, double Rso, double Tmax, double Tmin)
{
    const double tau = MHtransmissivity(J);
    const double deltaT = Tmax - Tmin;
    Rs = (0.182 * power(deltaT, 0.69) * power(tau * Rso, 0.91) - 2.4999) / 0.8023;
}

void FAO_SolarFromTemp(int region, double& Rs, double Ra, double Tmax, double Tmin, double N)
{
    (void)N;
    const double k = region == kRegionContinental ? 0.16 : 0.19;
    Rs = k * Ra * std::sqrt(Tmax - Tmin);
}

MethodResult<double> solarFromTemperature(int region, int J, double phi, double Tmax, double Tmin)
{
    double a = 0;
    double b = 0;
    getAngstromConstants(0, a, b);
    const auto day = clearDay(J, phi, a, b);
    if (!day)
        return {0.0, day.reason};

    double Rs = 0;
    if (region == kRegionMidWestUsa)
        MHmodel(J, Rs, day.value.Rso, Tmax, Tmin);
    else
        FAO_SolarFromTemp(region, Rs, day.value.Ra, Tmax, Tmin, day.value.N);
    if (!(Rs >= 0.0))
        Rs = kSolarFromTemperatureFloor;
    return {Rs, NoValueReason::None};
}

} // namespace pluvora::methods
