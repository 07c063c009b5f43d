#pragma once

#include "engine/run/processingrun.h"
#include "engine/stage/runcontext.h"

namespace pluvora {

inline constexpr const char* kNoInputFile = "No input file is opened.";
inline constexpr const char* kNoRowsBefore = "The number of rows prior to start of data is not specified.";
inline constexpr const char* kNoTask = "No task is selected.";
inline constexpr const char* kNoLatitude = "No latitude is given.";

// "column 3 has no unit."
std::string noUnitMessage(int column);

// The input check before any file is written; fails at the first problem.
void checkInputs(RunContext& run, const RunRequest& request);

// Entries 1 to count of columnVariable from the variable boxes.
void assignVariableIndexAndUnitIndexToColumn(RunContext& run, const RunRequest& request, int count);

// unitText of each measured variable from the unit boxes; the later column
// wins when two hold the same variable.
void assignUnit(RunContext& run, const RunRequest& request, int count);

} // namespace pluvora
