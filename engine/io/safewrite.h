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

namespace pluvora {

// writeFileSafely for a file the user named: the new file beside `target`
// gets a unique name of its own, so no other file there (one named like
// "target.new", the input itself) is ever touched.
void writeUserFileSafely(const std::filesystem::path& target,
                         const std::function<void(const std::filesystem::path&)>& write);

} // namespace pluvora
