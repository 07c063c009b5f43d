#include "engine/methods/solargeometry.h"

#include <cmath>

namespace pluvora::methods {

namespace {

// 2 pi / 365, 24 * 60 / pi * 0.0820 MJ/m2/min and 24 / pi, as stored
// constants rather than recomputed, to keep the last digits of Ra and N.
constexpr double kDayAngle = 0.01721420632103996;
constexpr double kRaFactor = 37.586031360582005;
constexpr double kHoursPerRadian = 7.639437268410976;

constexpr long double kPiExtended = 3.14159265358979323846L;

} // namespace

double degreesToRadians(double degrees)
{
    return static_cast<double>(static_cast<long double>(degrees) * kPiExtended / 180.0L);
}

MethodResult<ClearDay> clearDay(int J, double phi, double a, double b)
{
    const double x = kDayAngle * J;
    const double dr = 1.0 + 0.033 * std::cos(x);
    const double delta = 0.409 * std::sin(x - 1.39);
    const double cosOmega = -std::tan(phi) * std::tan(delta);
    // Written so that a NaN latitude also has no value.
    if (!(std::abs(cosOmega) <= 1.0))
        return {{}, NoValueReason::NoSunriseOrSunset};
    const double omegaS = std::acos(cosOmega);

    ClearDay day;
    day.Ra = (omegaS * std::sin(phi) * std::sin(delta)
              + std::cos(phi) * std::cos(delta) * std::sin(omegaS))
        * (kRaFactor * dr);
    day.Rso = (a + b) * day.Ra;
    day.N = kHoursPerRadian * omegaS;
    return {day, NoValueReason::None};
}

bool SolarOFclearDay(int J, double& Ra, double phi, double a, double b, double& Rso, double& N)
{
    const auto day = clearDay(J, phi, a, b);
    if (!day)
        return false;
    Ra = day.value.Ra;
    Rso = day.value.Rso;
    N = day.value.N;
    return true;
}

void getAngstromConstants(int zone, double& a, double& b)
{
    switch (zone) {
    case 0:
        a = 0.25;
        b = 0.50;
        break;
    case 1:
        a = 0.18;
        b = 0.55;
        break;
    case 2:
        a = 0.25;
        b = 0.45;
        break;
    case 3:
        a = 0.29;
        b = 0.42;
        break;
    default:
        break;
    }
}

} // namespace pluvora::methods
