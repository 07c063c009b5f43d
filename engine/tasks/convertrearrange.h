#pragma once

#include "run/runcontext.h"

namespace pluvora {

inline constexpr const char* kTemperatureUnitsDiffer = "Units of Tmax and Tmin need to be the same.";
inline constexpr const char* kDateIsMissing = "Date is missing. Check the input data and try again.";

// Converts "Input.~" to the crop model's daily weather layout in "Output.~".
// Tasks 4 to 7 hand their estimates in through "Out.~", one per record.
void Convert_rearrange(RunContext& run);

} // namespace pluvora
