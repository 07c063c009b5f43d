#include "engine/methods/referencefit.h"

namespace pluvora {

namespace {

// Share of the station's variance around its mean that the fit explains.
double explained(const FitSums& s, double a, double b)
{
    const double n = static_cast<double>(s.days);
    const double total = s.syy - s.sy * s.sy / n;
    if (!(total > 0))
        return 0;
    // Σ(y − a − bx)² expanded over the sums.
    const double residual = s.syy + n * a * a + b * b * s.sxx - 2 * a * s.sy - 2 * b * s.sxy + 2 * a * b * s.sx;
    const double r2 = 1 - residual / total;
    return r2 < 0 ? 0 : r2;
}

ReferenceFit withCounts(const FitSums& s, double a, double b)
{
    ReferenceFit fit;
    fit.a = a;
    fit.b = b;
    fit.days = s.days;
    if (s.days > 0) {
        fit.r2 = explained(s, a, b);
        fit.bias = (s.sy - s.sx) / static_cast<double>(s.days);
    }
    return fit;
}

} // namespace

ReferenceFit fitLinear(const FitSums& s)
{
    if (s.days < 2)
        return withCounts(s, s.days ? (s.sy - s.sx) / static_cast<double>(s.days) : 0, 1);
    const double n = static_cast<double>(s.days);
    const double sxxCentred = s.sxx - s.sx * s.sx / n;
    // A reference that never changes explains nothing: keep its offset.
    if (!(sxxCentred > 0))
        return withCounts(s, (s.sy - s.sx) / n, 1);
    const double b = (s.sxy - s.sx * s.sy / n) / sxxCentred;
    return withCounts(s, (s.sy - b * s.sx) / n, b);
}

ReferenceFit fitRatio(const FitSums& s)
{
    return withCounts(s, 0, s.sx > 0 ? s.sy / s.sx : 1);
}

} // namespace pluvora
