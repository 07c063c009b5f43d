#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pluvora {

// File-layer messages quote the file they failed on. A working file or the
// part file of a safe write means nothing to the user, so a quoted name in
// `workingFolder` becomes "a file in the working folder" with the folder's
// path, and one beside `userFile` that carries its name (out.wth.new) becomes
// `userFile`. Other names and the rest of the text stay. Either path may be
// empty.
std::string inUserTerms(std::string_view message, const std::filesystem::path& workingFolder,
                        const std::filesystem::path& userFile = {});

} // namespace pluvora
