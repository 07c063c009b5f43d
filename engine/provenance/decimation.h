#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace pluvora {

struct PlotPoint {
    double x = 0;
    double y = 0;
    bool breakBefore = false; // no value between this point and the one before
};

// The points of a series worth drawing across `columns` pixel columns of
// the x range [x0, x1]: per column the lowest and the highest value, in
// the order they come, so every spike stays visible however many values
// share a column. `x` ascends; NaN values are no values. At most two
// points per column, whatever the length of the series.
std::vector<PlotPoint> decimateMinMax(std::span<const double> x, std::span<const double> y, double x0, double x1,
                                      int columns);

} // namespace pluvora
