#pragma once

#include "engine/methods/methodresult.h"

namespace pluvora::methods {

// How the sunshine column is given.
enum class SunshineMode {
    Hours,   // hours of bright sunshine
    Percent, // percent of the astronomical day length
};

// Estimates below 0 (or NaN) are written as this value.
inline constexpr double kSolarFromSunshineFloor = 0.001;

// Rs = (a + b * r) * Ra with relative sunshine r = n / N. r is not capped at
// 1: a logger that reports more hours than the day has gives more than
// clear-sky radiation, which the checkup is there to catch.
// FAO-56, eq. 35 (Angstrom formula).
double angstromSolar(double a, double b, double relativeSunshine, double Ra);

// One record of the task: the zone's Angstrom pair, the clear day at J and
// phi (radians), r from hours (divided by the day length) or percent, and
// the floor of 0.001 for a negative or NaN estimate. No value on a day
// without sunrise or sunset, nor in hours mode on a day of zero length.
MethodResult<double> solarFromSunshine(int zone, SunshineMode mode, double sunshine, int J, double phi);

} // namespace pluvora::methods
