#pragma once

#include "engine/columns/datalayout.h"

#include <string>
#include <vector>

namespace pluvora {

// The variables the weather file of `task` (1 to 7) takes from the input's
// columns: one with no column is written as 0 on every day. Tasks 4 and 5
// estimate Solar; task 3 and the estimates without `rearrange` write no
// weather file.
std::vector<int> weatherFileVariables(int task, bool rearrange);

// One notice per variable of `required` that no column of `layout` holds.
std::vector<std::string> variablesWrittenAsZero(const DataLayout& layout, const std::vector<int>& required);

} // namespace pluvora
