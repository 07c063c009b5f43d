#pragma once

#include "engine/stage/runcontext.h"
#include "engine/tasks/estimationframe.h"

namespace pluvora {

inline constexpr const char* kNoSunshineData = "Data of sunshine hour or percentage are not specified";

// The description is these three pieces joined unchanged, so two blanks
// stand between the mode and the zone.
inline constexpr const char* kSunshineDescription = "Solar radiation (last column, MJ/m2/d) estimated from";
inline constexpr const char* kSunshineRearranged = "Solar radiation estimated from";
inline constexpr const char* kSunshineHoursPiece = " sun shine hours ";
inline constexpr const char* kSunshinePercentPiece = " sun shine % ";
inline constexpr const char* kColdTemperatePiece = " for cold / temperate regions. ";
inline constexpr const char* kDryTropicalPiece = " for dry tropical regions. ";
inline constexpr const char* kHumidTropicalPiece = " for humid tropical regions. ";

// Fails the run with kNoSunshineData unless sunshine hours or sunshine
// percentage have a column.
bool sunshineColumnGiven(RunContext& run);

// Task 5: daily solar radiation by the Angstrom formula from sunshine hours
// or sunshine percentage, with the climate zone's coefficients, appended as
// a last column or handed to the weather-file conversion.
// Task 5's estimate at the page's latitude and climate zone.
Estimation sunshineEstimation(const RunContext& run);

// `estimates` were made in the checkup's pass; there whenever the page
// lets the run go on.
void estimateSolarFromSunShineHr(RunContext& run, EstimatesInPass* estimates);

} // namespace pluvora
