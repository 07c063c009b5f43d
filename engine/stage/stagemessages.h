#pragma once

namespace pluvora {

// Messages that stop a run, shared by the reading of the fields and the
// checks that come after it.
inline constexpr const char* kDataFormatProblem =
    "The program has encountered problems with data format. Operation aborted.";
inline constexpr const char* kMissingValuesReportHeading = "Missing values are found on the following lines:";
inline constexpr const char* kMissingValuesFound = "Missing values are found. Correct the data first.";

} // namespace pluvora
