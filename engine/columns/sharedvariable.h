#pragma once

#include <optional>
#include <span>
#include <string>

namespace pluvora {

// Two columns given the same variable: a run would keep only the later
// column's values, so it does not start.
struct SharedVariable {
    int firstColumn = 0;  // 1-based
    int secondColumn = 0; // 1-based, after firstColumn
    int code = 0;
};

// The first pair of columns among `codes` (column 1 first) that hold the
// same variable. "Ignore" and unselected boxes are never a pair.
std::optional<SharedVariable> findSharedVariable(std::span<const int> codes);

// "Columns 3 and 7 are both set to "Precip". Change one of them before
// processing."
std::string sharedVariableMessage(const SharedVariable& shared);

} // namespace pluvora
