#pragma once

#include "stage/runcontext.h"

namespace pluvora {

inline constexpr const char* kLatitudeOrAltitudeMissing = "Latitude or altitude is not given.";
inline constexpr const char* kPenmanTitle = "Reference ET (last column, mm) estimated by FAO Penman-Monteith method.";
inline constexpr const char* kPenmanTitleRearranged = "Reference ET estimated by FAO Penman-Monteith method.";

// Task 7: daily alfalfa-reference ETr by FAO Penman-Monteith from solar
// radiation, temperatures, humidity and wind at the page's latitude and
// elevation, appended as a last column or handed to the weather-file
// conversion.
void ET_by_PM(RunContext& run);

} // namespace pluvora
