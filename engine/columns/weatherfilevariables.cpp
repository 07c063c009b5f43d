#include "engine/columns/weatherfilevariables.h"

#include "engine/columns/variablecatalogue.h"

#include <algorithm>

namespace pluvora {

std::vector<int> weatherFileVariables(int task, bool rearrange)
{
    switch (task) {
    case 1:
    case 2: return {kSolar, kTmax, kTmin, kPrecip};
    case 4:
    case 5: return rearrange ? std::vector<int>{kTmax, kTmin, kPrecip} : std::vector<int>{};
    case 6:
    case 7: return rearrange ? std::vector<int>{kSolar, kTmax, kTmin, kPrecip} : std::vector<int>{};
    default: return {};
    }
}

std::vector<std::string> variablesWrittenAsZero(const DataLayout& layout, const std::vector<int>& required)
{
    std::vector<std::string> notices;
    for (int code : required) {
        if (std::find(layout.variables.begin(), layout.variables.end(), code) == layout.variables.end())
            notices.push_back("No column holds " + std::string(variableInfo(code).item) +
                              ": the weather file gets 0 for it on every day.");
    }
    return notices;
}

} // namespace pluvora
