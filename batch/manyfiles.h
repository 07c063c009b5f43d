#pragma once

#include "batch/batchoptions.h"

#include <filesystem>
#include <string>

namespace pluvora {

// The output a run over many files writes for `input`: "NAME.wth" where the
// task gives a weather file, "NAME.txt" otherwise, NAME being the input's
// name without its last extension.
std::filesystem::path outputNameFor(const std::filesystem::path& input, const BatchOptions& options);

// Converts every input to its own output in --out-dir, --jobs at a time:
// each job is a worker process converting one file after another, each in
// a scratch folder of its own, so a crash costs one file; shows progress,
// writes the summary and returns the exit status (0 all converted, 1 any
// failed or the run was stopped, 2 an input is missing).
int runManyFiles(const BatchOptions& options);

// --merge-summaries DIR; returns the exit status.
int runMergeSummaries(const std::string& folder);

} // namespace pluvora
