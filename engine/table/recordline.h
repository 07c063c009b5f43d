#pragma once

#include <filesystem>
#include <optional>

namespace pluvora {

// The 1-based line of a data file that holds record `index` (0 for the
// first) as the record readers meet it: after `rowsBefore` header rows, one
// record per line that holds a token. Nothing when the file has fewer.
// Used only once a run has stopped, to show the user where.
std::optional<int> lineOfRecord(const std::filesystem::path& path, int rowsBefore, long index);

} // namespace pluvora
