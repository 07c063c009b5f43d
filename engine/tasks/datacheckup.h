#pragma once

#include "run/runcontext.h"

namespace pluvora {

// Screens every record for impossible dates and implausible values and
// writes the dates of suspicious records to "Output.~". Sets the abort flag
// when the run must stop (always for task 3).
void dataCheckup(RunContext& run);

} // namespace pluvora
