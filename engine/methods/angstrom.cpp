#include "engine/methods/angstrom.h"

#include "engine/methods/solargeometry.h"

namespace pluvora::methods {

double angstromSolar(double a, double b, double relativeSunshine, double Ra)
{
    return (a + b * relativeSunshine) * Ra;
}

MethodResult<double> solarFromSunshine(int zone, SunshineMode mode, double sunshine, int J, double phi)
{
    double a = 0;
    double b = 0;
    getAngstromConstants(zone, a, b);
    const auto day = clearDay(J, phi, a, b);
    if (!day)
        return {0.0, day.reason};

    double r = 0;
    if (mode == SunshineMode::Hours) {
        // The sun only touches the horizon: hours of sunshine cannot be
        // related to a day of no length.
        if (!(day.value.N > 0.0))
            return {0.0, NoValueReason::NoSunriseOrSunset};
        r = sunshine / day.value.N;
    } else {
        r = sunshine / 100.0;
    }
    double Rs = angstromSolar(a, b, r, day.value.Ra);
    if (!(Rs >= 0.0))
        Rs = kSolarFromSunshineFloor;
    return {Rs, NoValueReason::None};
}

} // namespace pluvora::methods
