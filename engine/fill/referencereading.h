#pragma once

#include "engine/appfolder/appfolder.h"
#include "engine/fill/referenceseries.h"
#include "engine/run/processingrun.h"

namespace pluvora {

// Reads the reference a gap fill takes missing days from: `request` (its
// input and layout; the task is set here) is run as a checkup in `scratch`,
// and every value the checkup dates and does not flag becomes the series.
// Throws Error, its message naming what stopped the reading, when the
// reference cannot be read.
ReferenceSeries readReferenceSeries(RunRequest request, const AppFolder& scratch);

} // namespace pluvora
