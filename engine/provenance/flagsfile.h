#pragma once

#include "engine/provenance/runprovenance.h"

#include <filesystem>
#include <string>

namespace pluvora {

// The flags file: a row of column names, then one row per day, its date
// and for each series a code: M measured, S substituted, E estimated,
// X no value; F appended when the checkup lists the day for that series
// (for every series when the date itself is at fault).
std::string flagsFileText(const RunProvenance& provenance);

// "T-max", or "Solar (estimated)" for the task's estimate.
std::string seriesTitle(const RunProvenance::Series& series);

void writeFlagsFile(const std::filesystem::path& target, const RunProvenance& provenance);

} // namespace pluvora
