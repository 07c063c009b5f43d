#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// The files a run over many inputs converts, in a stable order: each
// INPUT as given, a folder replaced by its regular files whose names match
// `glob` (shell pattern), sorted by name. Throws Error for an input that
// does not exist.
std::vector<std::filesystem::path> expandInputs(const std::vector<std::string>& inputs,
                                                std::string_view glob);

// Every `count`-th file starting at `index`, so shards split one list
// without talking to each other.
std::vector<std::filesystem::path> shardOf(const std::vector<std::filesystem::path>& files,
                                           int index, int count);

} // namespace pluvora
