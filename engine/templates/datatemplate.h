#pragma once

#include "engine/columns/datalayout.h"
#include "engine/fill/fillchoice.h"

#include <utility>

namespace pluvora {

// A stored template: a column layout under a name, and how the gaps of its
// source are filled.
struct DataTemplate : DataLayout {
    FillChoice fill;

    DataTemplate() = default;
    // A layout alone fills nothing, as every template did before fills.
    DataTemplate(const DataLayout& layout, FillChoice fillChoice = {})
        : DataLayout(layout), fill(std::move(fillChoice))
    {
    }
    bool operator==(const DataTemplate&) const = default;
};

} // namespace pluvora
