#pragma once

#include "engine/stage/runcontext.h"
#include "engine/tasks/estimationframe.h"

#include <array>
#include <optional>

namespace pluvora {

inline constexpr const char* kPanTitle = "Reference ET (last column, mm) estimated from pan evaporation of ";
inline constexpr const char* kPanTitleRearranged = "Reference ET estimated from pan evaporation of ";
inline constexpr const char* kPanWith = " with ";
inline constexpr const char* kPanMetres = " m.";
inline constexpr const char* kUnknownPanSite = "with unknown pan type.";
// Captions of the pan buttons for codes 1 to 4, as the task page shows them.
inline constexpr std::array<const char*, 4> kPanFetchCaptions{"green fetch", "dry fetch", "green fetch",
                                                              "dry fetch"};

// Below 1 m the logarithms of the regressions turn negative and the
// coefficient means nothing. Past the fetches the regressions were fitted
// on they still give a coefficient, told with a notice; a day whose
// coefficient is not above 0 stops the run there.
inline constexpr double kShortestFetch = 1.0;
inline constexpr double kLongestFittedFetch = 1000.0;
inline constexpr const char* kFetchOutOfRange =
    "Fetch (m) must be 1 or more: the pan coefficient is defined only for fetches of 1 m and more.";
inline constexpr const char* kFetchBeyondFitted =
    "The pan relations were fitted for fetches up to 1000 m: check each day's ET of this longer fetch.";

// Fails the run with "One of the required data is not given." unless pan
// evaporation, wind speed and relative humidity all have a column.
void testData(RunContext& run);

// Task 6's estimate for the page's pan and fetch; nothing when the page
// stops the run.
std::optional<Estimation> panEstimation(const RunContext& run);

// Task 6: daily reference ET as the pan coefficient of the chosen pan and
// fetch times the pan evaporation, appended as a last column or handed to
// the weather-file conversion.
// `estimates` were made in the checkup's pass; there whenever the page
// lets the run go on.
void ET_from_Evap(RunContext& run, EstimatesInPass* estimates);

} // namespace pluvora
