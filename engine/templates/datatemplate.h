#pragma once

#include "columns/variablecatalogue.h"

#include <array>

namespace pluvora {

// The whole "Step 2" layout of one data source: rows before the data
// and, per column box, the selected variable and unit indexes (-1 for none).
struct DataTemplate {
    int rowsBefore = 0;
    std::array<int, kColumnBoxes> variables = filled(-1);
    std::array<int, kColumnBoxes> units = filled(-1);

    bool operator==(const DataTemplate&) const = default;

private:
    static constexpr std::array<int, kColumnBoxes> filled(int value)
    {
        std::array<int, kColumnBoxes> a{};
        a.fill(value);
        return a;
    }
};

} // namespace pluvora
