#include "engine/provenance/decimation.h"

#include <algorithm>
#include <cmath>

namespace pluvora {

std::vector<PlotPoint> decimateMinMax(std::span<const double> x, std::span<const double> y, double x0, double x1,
                                      int columns)
{
    std::vector<PlotPoint> points;
    const std::size_t n = std::min(x.size(), y.size());
    if (n == 0 || columns < 1 || !(x1 >= x0))
        return points;
    // One value either side of the range, so lines run on past its edges.
    std::size_t first = static_cast<std::size_t>(std::lower_bound(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(n), x0) - x.begin());
    std::size_t last = static_cast<std::size_t>(std::upper_bound(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(n), x1) - x.begin());
    if (first > 0)
        --first;
    if (last < n)
        ++last;
    points.reserve(2 * static_cast<std::size_t>(columns) + 4);
    const double width = x1 > x0 ? (x1 - x0) / columns : 1.0;

    bool open = false;   // a column is being gathered
    long long column = 0;
    std::size_t low = 0, high = 0;
    bool gap = false;    // a value was missing since the last point
    auto flush = [&] {
        if (!open)
            return;
        const std::size_t a = std::min(low, high), b = std::max(low, high);
        points.push_back({x[a], y[a], gap});
        gap = false;
        if (b != a)
            points.push_back({x[b], y[b], false});
        open = false;
    };
    for (std::size_t i = first; i < last; ++i) {
        if (std::isnan(y[i])) {
            flush();
            gap = !points.empty();
            continue;
        }
        auto c = static_cast<long long>(std::floor((x[i] - x0) / width));
        // The right edge belongs to the last column.
        if (x[i] <= x1 && c >= columns)
            c = columns - 1;
        if (open && c != column)
            flush();
        if (!open) {
            open = true;
            column = c;
            low = high = i;
            continue;
        }
        if (y[i] < y[low])
            low = i;
        if (y[i] > y[high])
            high = i;
    }
    flush();
    return points;
}

} // namespace pluvora
