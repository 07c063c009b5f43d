#pragma once

#include <filesystem>
#include <functional>

namespace pluvora {

// Lets `write` fill a new file beside `target`, then renames it over
// `target`: a failed write (a full disk, a missing folder) throws Error and
// leaves the old file whole, with no partial file left behind.
void writeFileSafely(const std::filesystem::path& target,
                     const std::function<void(const std::filesystem::path&)>& write);

} // namespace pluvora
