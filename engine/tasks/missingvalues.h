#pragma once

#include "run/runcontext.h"

#include <string_view>

namespace pluvora {

// Replaces every value of a data row that rounds to `sign` with
// `substitute`, and rewrites every token of the row followed by a tab.
void valueSubstitution(RunContext& run, int sign, std::string_view substitute);

// Stops the run, with a report of the rows in the output panel, when a data
// row has fewer than columnCount values.
void checkForMissingValues(RunContext& run);

} // namespace pluvora
