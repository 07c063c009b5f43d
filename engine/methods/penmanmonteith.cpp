#include "engine/methods/penmanmonteith.h"

#include "engine/methods/power.h"
#include "engine/methods/solargeometry.h"

#include <cmath>

namespace pluvora::methods {

namespace {

constexpr double kStefanBoltzmann = 4.903e-9; // MJ K^-4 m^-2 d^-1
constexpr double kAlfalfaToGrass = 1.3;
constexpr double kFloor = 0.001;
// Keeps Rs / Rso finite on a day whose sun only touches the horizon.
constexpr double kSmallestRso = 0.0001;

double fourthPower(double x)
{
    const double square = x * x;
    return square * square;
}

} // namespace

double saturationVaporPressure(double T)
{
    return 0.6108 * std::exp(17.27 * T / (T + 237.3));
}

MethodResult<double> atmosphericPressure(double z)
{
    const double base = (293.0 - 0.0065 * z) / 293.0;
    if (!(base >= 0.0))
        return {0.0, NoValueReason::ElevationTooHigh};
    return {101.3 * power(base, 5.26), NoValueReason::None};
}

MethodResult<PenmanMonteithTerms> alfalfaReferenceET(const PenmanMonteithInput& in)
{
    PenmanMonteithTerms t;

    const auto pressure = atmosphericPressure(in.z);
    if (!pressure)
        return {t, pressure.reason};
    t.P = pressure.value;
    t.gamma = 0.000665 * t.P;

    t.esTmax = saturationVaporPressure(in.Tmax);
    t.esTmin = saturationVaporPressure(in.Tmin);
    t.es = (t.esTmax + t.esTmin) / 2.0;

    t.Tmean = (in.Tmax + in.Tmin) / 2.0;
    t.esTmean = saturationVaporPressure(t.Tmean);
    t.delta = 4098.0 * t.esTmean / ((t.Tmean + 237.3) * (t.Tmean + 237.3));

    t.ea = in.RH / 100.0 * t.esTmean;
    t.VPD = t.es - t.ea;
    if (!(t.VPD > 0.0))
        t.VPD = 0.0;

    t.Rns = 0.77 * in.Rs;

    double a = 0;
    double b = 0;
    getAngstromConstants(0, a, b);
    const auto day = clearDay(in.J, in.phi, a, b);
    if (!day)
        return {t, day.reason};
    t.Ra = day.value.Ra;
    t.Rso = day.value.Rso == 0.0 ? kSmallestRso : day.value.Rso;

    t.longwaveTemperatureTerm =
        (fourthPower(in.Tmax + 273.16) + fourthPower(in.Tmin + 273.16)) * kStefanBoltzmann / 2.0;
    // Rs / Rso is deliberately not capped at 1.
    t.Rnl = (0.34 - 0.14 * std::sqrt(t.ea)) * t.longwaveTemperatureTerm
        * (1.35 * in.Rs / t.Rso - 0.35);

    t.Rn = t.Rns - t.Rnl;
    if (t.Rn < 0.0)
        t.Rn = kFloor;
    constexpr double G = 0.0;

    t.ET0 = (0.408 * t.delta * (t.Rn - G) + t.gamma * 900.0 / (t.Tmean + 273.0) * in.u * t.VPD)
        / (t.delta + t.gamma * (1.0 + 0.34 * in.u));
    t.ETr = kAlfalfaToGrass * t.ET0;
    if (!(t.ETr > 0.0))
        t.ETr = kFloor;
    return {t, NoValueReason::None};
}

} // namespace pluvora::methods
