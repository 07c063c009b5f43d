#pragma once

#include "engine/columns/variablecatalogue.h"

#include <array>
#include <string>

namespace pluvora {

// What a run knows about the columns: each column's variable code and the
// unit text chosen for each measured variable.
struct ColumnSpec {
    // Entries 1 to 12 (index 0 unused), as in the window's column numbers.
    std::array<int, kColumnBoxes + 1> columnVariable{};
    // Indexed by variable code; only codes 5 to 15 are used. Empty when no
    // column holds the variable.
    std::array<std::string, kVariableCount> unitText{};
    // Read in the unit every task works in: RelHum in %, SunHr in hours.
    bool relHumFraction = false;
    bool sunMinutes = false;

    const std::string& unit(int code) const { return unitText[static_cast<std::size_t>(code)]; }
    bool hasColumn(int code, int columnCount) const;
};

} // namespace pluvora
