#pragma once

namespace pluvora {

// Running sums over days a station and its reference both measured: x is
// the reference's value, y the station's.
struct FitSums {
    long days = 0;
    double sx = 0, sy = 0, sxx = 0, sxy = 0, syy = 0;

    void add(double x, double y)
    {
        ++days;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
        syy += y * y;
    }
    FitSums& operator+=(const FitSums& o)
    {
        days += o.days;
        sx += o.sx;
        sy += o.sy;
        sxx += o.sxx;
        sxy += o.sxy;
        syy += o.syy;
        return *this;
    }
};

// station = a + b * reference, with how well that explains the station's
// days (r2, 0 when it cannot be told) and the mean of station − reference
// before any correction.
struct ReferenceFit {
    double a = 0;
    double b = 1;
    double r2 = 0;
    double bias = 0;
    long days = 0;

    double apply(double reference) const { return a + b * reference; }
};

// Least squares with an intercept: for temperatures, humidity and wind.
ReferenceFit fitLinear(const FitSums& sums);

// A ratio of the totals, through the origin: for rain and radiation, whose
// zero means the same at both places. A reference that holds nothing in
// total gives b = 1.
ReferenceFit fitRatio(const FitSums& sums);

} // namespace pluvora
