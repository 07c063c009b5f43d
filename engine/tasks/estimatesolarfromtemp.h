#pragma once

#include "engine/stage/runcontext.h"
#include "engine/tasks/estimationframe.h"

#include <optional>

namespace pluvora {

inline constexpr const char* kPositiveLatitudeNeeded = "A positive latitude value must be used for this region";

inline constexpr const char* kSolarFromTempMHDescription =
    "Solar radiation (last column, MJ/m2/d) estimated from T-max and T-min using the Mahmood-Hubbard method. ";
inline constexpr const char* kSolarFromTempFAODescription =
    "Solar radiation (last column, MJ/m2/d) estimated from T-max and T-min using the FAO method. ";
inline constexpr const char* kSolarFromTempMHRearranged =
    "Solar radiation estimated from T-max and T-min using the Mahmood-Hubbard method. ";
inline constexpr const char* kSolarFromTempFAORearranged =
    "Solar radiation estimated from T-max and T-min using the FAO method. ";

// requireColumns for the columns task 4 reads.
bool temperatureColumnsGiven(RunContext& run);

// Task 4: daily solar radiation from T-max and T-min, by Mahmood-Hubbard for
// the Mid-West of the USA or by the FAO temperature-difference formula,
// appended as a last column or handed to the weather-file conversion.
// Task 4's estimate at the page's latitude and region; nothing when the
// page stops the run.
std::optional<Estimation> solarFromTempEstimation(const RunContext& run);

// `estimates` were made in the checkup's pass; there whenever the page
// lets the run go on.
void estimateSolarFromTemp(RunContext& run, EstimatesInPass* estimates);

} // namespace pluvora
