#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pluvora {

// Writes `lines`, each ended by CR LF, to a new file beside `target` and
// renames it over `target`, so a failed write (a full disk, a missing
// folder) throws Error and leaves the old file whole.
void writeLinesSafely(const std::filesystem::path& target, const std::vector<std::string>& lines);

} // namespace pluvora
