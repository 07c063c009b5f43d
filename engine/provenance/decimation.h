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
// The same, fed a value at a time, for a series too long to hold: every
// value of the series in order, x ascending within [x0, x1].
class MinMaxDecimator {
public:
    MinMaxDecimator(double x0, double x1, int columns);
    void add(double x, double y);
    // The points; the decimator is spent.
    std::vector<PlotPoint> finish();

private:
    struct Pick {
        std::size_t index = 0;
        double x = 0;
        double y = 0;
    };
    void flush();

    double mX0;
    double mX1;
    int mColumns;
    double mWidth;
    std::vector<PlotPoint> mPoints;
    std::size_t mIndex = 0;
    bool mOpen = false;
    long long mColumn = 0;
    Pick mLow, mHigh;
    bool mGap = false;
};

std::vector<PlotPoint> decimateMinMax(std::span<const double> x, std::span<const double> y, double x0, double x1,
                                      int columns);

} // namespace pluvora
