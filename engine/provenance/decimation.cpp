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
    MinMaxDecimator decimator(x0, x1, columns);
    for (std::size_t i = first; i < last; ++i)
        decimator.add(x[i], y[i]);
    return decimator.finish();
}

MinMaxDecimator::MinMaxDecimator(double x0, double x1, int columns)
    : mX0(x0), mX1(x1), mColumns(columns), mWidth(x1 > x0 ? (x1 - x0) / columns : 1.0)
{
    mPoints.reserve(2 * static_cast<std::size_t>(std::max(columns, 0)) + 4);
}

void MinMaxDecimator::flush()
{
    if (!mOpen)
        return;
    const Pick& a = mLow.index <= mHigh.index ? mLow : mHigh;
    const Pick& b = mLow.index <= mHigh.index ? mHigh : mLow;
    mPoints.push_back({a.x, a.y, mGap});
    mGap = false;
    if (b.index != a.index)
        mPoints.push_back({b.x, b.y, false});
    mOpen = false;
}

void MinMaxDecimator::add(double x, double y)
{
    const std::size_t i = mIndex++;
    if (std::isnan(y)) {
        flush();
        mGap = !mPoints.empty();
        return;
    }
    auto c = static_cast<long long>(std::floor((x - mX0) / mWidth));
    // The right edge belongs to the last column.
    if (x <= mX1 && c >= mColumns)
        c = mColumns - 1;
    if (mOpen && c != mColumn)
        flush();
    if (!mOpen) {
        mOpen = true;
        mColumn = c;
        mLow = mHigh = {i, x, y};
        return;
    }
    if (y < mLow.y)
        mLow = {i, x, y};
    if (y > mHigh.y)
        mHigh = {i, x, y};
}

std::vector<PlotPoint> MinMaxDecimator::finish()
{
    if (mColumns < 1 || !(mX1 >= mX0))
        return {};
    flush();
    return std::move(mPoints);
}

} // namespace pluvora
