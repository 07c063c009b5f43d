#pragma once

#include "batch/batchoptions.h"

#include <filesystem>
#include <optional>
#include <string>

namespace pluvora {

// Whether two names reach one file, also through links or "..", and for a
// file that does not exist yet.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Why the files a one-input run writes (-o, --update and its .old,
// --report, --flags) cannot be written: one of them is the input or
// another's file. Nothing when each is a file of its own.
std::optional<std::string> outputClash(const BatchOptions& options);

} // namespace pluvora
