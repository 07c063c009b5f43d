#pragma once

#include "engine/methods/methodresult.h"

namespace pluvora::methods {

// Saturation vapour pressure e°(T) in kPa, T in °C. FAO-56, eq. 11.
double saturationVaporPressure(double T);

// Atmospheric pressure P in kPa at elevation z (m). No value above
// 293 / 0.0065 m, where the base of the power turns negative.
// FAO-56, eq. 7.
MethodResult<double> atmosphericPressure(double z);

// One record's inputs, already in the method's units.
struct PenmanMonteithInput {
    double Rs = 0;   // solar radiation, MJ/m2/d
    double Tmax = 0; // °C
    double Tmin = 0; // °C
    double RH = 0;   // mean relative humidity, %
    double u = 0;    // wind speed at 2 m, m/s
    int J = 1;       // day of year
    double phi = 0;  // latitude, radians, negative south
    double z = 0;    // elevation, m
};

// Every intermediate value, so a reader can follow a record by hand.
struct PenmanMonteithTerms {
    double P = 0;           // kPa
    double gamma = 0;       // psychrometric constant, kPa/°C
    double esTmax = 0;      // e°(Tmax), kPa
    double esTmin = 0;      // e°(Tmin), kPa
    double es = 0;          // mean saturation vapour pressure, kPa
    double Tmean = 0;       // °C
    double esTmean = 0;     // e°(Tmean), kPa
    double delta = 0;       // slope of the vapour pressure curve, kPa/°C
    double ea = 0;          // actual vapour pressure, kPa
    double VPD = 0;         // vapour pressure deficit, kPa, never below 0
    double Rns = 0;         // net shortwave, MJ/m2/d
    double Ra = 0;          // extraterrestrial radiation, MJ/m2/d
    double Rso = 0;         // clear-sky radiation, MJ/m2/d
    double longwaveTemperatureTerm = 0; // sigma * (Tmax,K^4 + Tmin,K^4) / 2
    double Rnl = 0;         // net longwave, MJ/m2/d; may be negative
    double Rn = 0;          // net radiation, MJ/m2/d, floored at 0.001
    double ET0 = 0;         // grass reference, mm/d
    double ETr = 0;         // alfalfa reference, mm/d, floored at 0.001
};

// Alfalfa-reference ETr of one day: the FAO-56 grass reference ET0 (900 and
// 0.34, G = 0) times 1.3, with ea from e°(Tmean) and the clear-sky
// radiation of the default Angstrom pair. No value on a day without sunrise
// or sunset or above the pressure formula's elevation limit.
// FAO-56, eqs. 6, 7, 8, 11, 12, 13, 19, 38, 39 and 40.
MethodResult<PenmanMonteithTerms> alfalfaReferenceET(const PenmanMonteithInput& in);

} // namespace pluvora::methods
