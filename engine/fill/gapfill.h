#pragma once

#include "engine/columns/variablecatalogue.h"
#include "engine/fill/referenceseries.h"
#include "engine/stage/runcontext.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace pluvora {

// How a run fills missing values instead of substituting them.
struct FillSettings {
    // Longest run of missing days a straight line bridges, per variable
    // code; 0 for none. Rain is never bridged: a day's rain says nothing of
    // the next day's.
    std::array<int, kVariableCount> longestInterpolated{};
    bool interpolate = false;
    // The series missing days are taken from, corrected per month; null
    // for none.
    const ReferenceSeries* reference = nullptr;
    // A month whose correction explains less of the station's days than
    // this is not used.
    double leastR2 = 0.25;

    bool asked() const { return interpolate || reference != nullptr; }
};

// T-max and T-min 3 days; RelHum, wind and solar 2; nothing else.
FillSettings defaultInterpolation();

// "T-max=5,Solar=1" over the defaults. The message for a text that cannot
// be read, or nothing.
std::optional<std::string> setInterpolationLimits(FillSettings& settings, std::string_view text);

inline constexpr const char* kGapsNotFilledHeading = "Missing values that cannot be filled";
inline constexpr const char* kFillNeedsSign =
    "Gaps can only be filled where missing values carry the missing-value sign: turn substitution on.";

// Replaces the missing values of "Input.~" (those rounding to `sign`) with
// filled ones and inserts a row for each day absent between two rows, by
// `settings`; every filled value goes to run.provenance. A gap that cannot
// be filled stops the run with the gaps listed in the output panel. Rows
// whose dates cannot be read, or do not ascend, are left to the checkup.
void fillGaps(RunContext& run, const FillSettings& settings, int sign);

} // namespace pluvora
