#pragma once

#include "engine/methods/methodresult.h"

namespace pluvora::methods {

// Regions of the solar-from-temperature task.
inline constexpr int kRegionMidWestUsa = 1;  // Mahmood-Hubbard
inline constexpr int kRegionContinental = 2; // FAO, coefficient 0.16
inline constexpr int kRegionCoastal = 3;     // FAO, coefficient 0.19

// Estimates below 0 (or NaN) are written as this value.
inline constexpr double kSolarFromTemperatureFloor = 0.01;

// Atmospheric transmissivity of the Mahmood-Hubbard model for day J:
// 0.8 at midsummer (J = 182) rising to 0.92 at the year's ends.
double MHtransmissivity(int J);

// Solar radiation Rs (MJ/m2/d) from the daily temperature range and the
// clear-sky radiation Rso. May be negative for a small range; the task
// floors it. Mahmood and Hubbard (2002), Agron. J. 94:723-733.
void MHmodel(int J, double& Rs, double Rso, double Tmax, double Tmin);

// Rs = k * Ra * sqrt(Tmax - Tmin), k = 0.16 for region 2 and 0.19 otherwise.
// N is accepted for the historical signature and not used.
// FAO-56, eq. 50 (Hargreaves radiation formula).
void FAO_SolarFromTemp(int region, double& Rs, double Ra, double Tmax, double Tmin, double N);

// One record of the task: the clear day at J and phi (radians) with the
// default Angstrom pair, the region's model, and the floor of 0.01 for a
// negative or NaN estimate. No value on a day without sunrise or sunset.
MethodResult<double> solarFromTemperature(int region, int J, double phi, double Tmax, double Tmin);

} // namespace pluvora::methods
