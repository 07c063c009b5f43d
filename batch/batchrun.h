#pragma once

#include "batch/batchoptions.h"
#include "engine/run/processingrun.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// One input converted as the window would, the result to -o or standard
// output. Returns the exit status; `used`, when given, receives the
// options the run went by (with --columns auto: the suggested layout).
int runBatchFile(const BatchOptions& options, BatchOptions* used = nullptr);

// The run the window would make with the same settings, read from a file.
RunRequest runRequestFor(const BatchOptions& options);

// Whether the input is in a format whose header states the site, or part
// of it: only then may --site be left out with --columns auto.
bool headerMayGiveSite(const std::string& input);

// Where the working files go; throws Error saying so in the user's terms
// when TMPDIR names a folder that cannot be used.
std::filesystem::path temporaryFolder();

// The whole program after its arguments are split: options, usage, the run.
int batchMain(const std::vector<std::string_view>& args);

} // namespace pluvora
