#pragma once

#include "engine/stage/runcontext.h"

#include <array>

namespace pluvora {

inline constexpr const char* kPanTitle = "Reference ET (last column, mm) estimated from pan evaporation of ";
inline constexpr const char* kPanTitleRearranged = "Reference ET estimated from pan evaporation of ";
inline constexpr const char* kPanWith = " with ";
inline constexpr const char* kPanMetres = " m.";
inline constexpr const char* kUnknownPanSite = "with unknown pan type.";
// Captions of the pan buttons for codes 1 to 4, as the task page shows them.
inline constexpr std::array<const char*, 4> kPanFetchCaptions{"green fetch", "dry fetch", "green fetch",
                                                              "dry fetch"};

// The fetch range the pan-coefficient regressions were fitted on; outside
// it they give meaningless coefficients (a negative ET for a long fetch).
inline constexpr double kShortestFetch = 1.0;
inline constexpr double kLongestFetch = 1000.0;
inline constexpr const char* kFetchOutOfRange =
    "Fetch (m) must be from 1 to 1000: the pan coefficient is defined only for fetches in that range.";

// Fails the run with "One of the required data is not given." unless pan
// evaporation, wind speed and relative humidity all have a column.
void testData(RunContext& run);

// Task 6: daily reference ET as the pan coefficient of the chosen pan and
// fetch times the pan evaporation, appended as a last column or handed to
// the weather-file conversion.
void ET_from_Evap(RunContext& run);

} // namespace pluvora
