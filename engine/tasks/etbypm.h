#pragma once

#include "engine/stage/runcontext.h"
#include "engine/tasks/estimationframe.h"

#include <optional>

namespace pluvora {

inline constexpr const char* kLatitudeOrAltitudeMissing = "Latitude or altitude is not given.";
// The shore of the lowest lake on land lies about 430 m below sea level;
// an elevation below that is a typing slip, not a site.
inline constexpr double kLowestElevation = -430.0;
inline constexpr const char* kElevationTooLow =
    "Elevation, meter must not be below -430, the lowest land on Earth.";
inline constexpr const char* kPenmanTitle = "Reference ET (last column, mm) estimated by FAO Penman-Monteith method.";
inline constexpr const char* kPenmanTitleRearranged = "Reference ET estimated by FAO Penman-Monteith method.";

// requireColumns for the columns task 7 reads.
bool penmanColumnsGiven(RunContext& run);

// Task 7's estimate at the page's latitude and elevation; nothing when the
// page stops the run.
std::optional<Estimation> penmanEstimation(const RunContext& run);

// Task 7: daily alfalfa-reference ETr by FAO Penman-Monteith from solar
// radiation, temperatures, humidity and wind at the page's latitude and
// elevation, appended as a last column or handed to the weather-file
// conversion.
// `estimates` were made in the checkup's pass; there whenever the page
// lets the run go on.
void ET_by_PM(RunContext& run, EstimatesInPass* estimates);

} // namespace pluvora
