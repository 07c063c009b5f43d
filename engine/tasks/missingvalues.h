#pragma once

#include "engine/stage/runcontext.h"
#include "engine/stage/stagemessages.h"

#include <string>
#include <string_view>

namespace pluvora {


// Marks the end of every data row while the rows are checked, so that the
// reading of a short row stops there instead of running into the next row.
inline constexpr double kRowEndMarker = -9999;

// The substitution's test and rewriting of one value: whether it counts as
// the missing-value sign, and the text a kept value is rewritten as.
bool roundsToSign(double value, int sign);
std::string substitutionText(double value);

// Replaces every value of a data row that rounds to `sign` with
// `substitute`, and rewrites every token of the row followed by a tab.
// A token that is not a number throws Error("Invalid numeric input").
void valueSubstitution(RunContext& run, int sign, std::string_view substitute);

// Stops the run, with a report of the rows in the output panel, when a data
// row has fewer than columnCount values.
void checkForMissingValues(RunContext& run);

} // namespace pluvora
