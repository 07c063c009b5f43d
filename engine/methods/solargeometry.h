#pragma once

#include "engine/methods/methodresult.h"

namespace pluvora::methods {

// Latitude typed in decimal degrees to radians. The product is taken in
// extended precision before it is stored, so the radians match those of the
// weather files this program has always produced.
double degreesToRadians(double degrees);

// Extraterrestrial radiation Ra and clear-sky radiation Rso in MJ/m2/d, day
// length N in hours.
struct ClearDay {
    double Ra = 0;
    double Rso = 0;
    double N = 0;
};

// Ra, Rso = (a + b) * Ra and N for day of year J at latitude phi (radians,
// negative south). No value on a day without sunrise or sunset
// (|tan phi * tan delta| > 1).
// FAO-56, eqs. 21, 23, 24, 25, 34 and 36.
MethodResult<ClearDay> clearDay(int J, double phi, double a, double b);

// The same with the historical argument order. Returns false, leaving Ra,
// Rso and N untouched, on a day without sunrise or sunset.
bool SolarOFclearDay(int J, double& Ra, double phi, double a, double b, double& Rso, double& N);

// Angstrom coefficients of a climate zone: 0 the default pair, 1 cold or
// temperate, 2 dry tropical, 3 humid tropical. Any other zone leaves a and b
// as they were. FAO-56, eq. 35 and its recommended values.
void getAngstromConstants(int zone, double& a, double& b);

} // namespace pluvora::methods
