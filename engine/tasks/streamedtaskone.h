#pragma once

#include "engine/stage/runcontext.h"
#include "engine/table/fieldreading.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace pluvora {

// Task 1 in one pass over `source`, "Input.~" as the run saves it or a
// file that readsAsItsPanelText: the end notes,
// cleaning,
// value substitution (when `sign` is given), the missing-value check, the
// checkup and the conversion at once, writing "Output.~" byte for byte as
// the stage chain would. "Input.~" is left as it was, so this is for a
// caller that reads only the result.
//
// With `fieldRows`, each data row is first rewritten as the field pass
// would (rows it would stop on or list hand the work to the stages).
//
// Returns false, with the record and the working files as they were, when
// the input holds anything a stage would report or stop on, or anything
// this pass does not reproduce exactly (long tokens, short rows, bad
// numbers); the caller then runs the stages themselves.
bool streamTaskOne(RunContext& run, std::optional<int> sign, std::string_view substitute,
                   const std::filesystem::path& source, FieldRowWriter* fieldRows = nullptr);

} // namespace pluvora
