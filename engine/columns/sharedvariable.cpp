#include "engine/columns/sharedvariable.h"

#include "engine/columns/variablecatalogue.h"

namespace pluvora {

std::optional<SharedVariable> findSharedVariable(std::span<const int> codes)
{
    for (std::size_t second = 1; second < codes.size(); ++second) {
        if (codes[second] <= kIgnore || codes[second] >= kVariableCount)
            continue;
        for (std::size_t first = 0; first < second; ++first) {
            if (codes[first] == codes[second])
                return SharedVariable{static_cast<int>(first) + 1, static_cast<int>(second) + 1,
                                      codes[second]};
        }
    }
    return std::nullopt;
}

std::string sharedVariableMessage(const SharedVariable& shared)
{
    return "Columns " + std::to_string(shared.firstColumn) + " and "
           + std::to_string(shared.secondColumn) + " are both set to \""
           + std::string(variableInfo(shared.code).item)
           + "\". Change one of them before processing.";
}

} // namespace pluvora
