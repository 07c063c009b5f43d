#include "engine/methods/pancoefficient.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace pluvora::methods {

double panCoefficient(int code, double u, double H, double F)
{
    constexpr double kFloor = 0.001;
    if (!(u > 0.0))
        u = kFloor;
    if (!(H > 0.0))
        H = kFloor;
    if (!(F > 0.0))
        F = kFloor;

    const double lnF = std::log(F);
    const double lnH = std::log(H);
    const double W = std::log(86.4 * u);

    switch (code) {
    case kClassAGreenFetch:
        return 0.108 - 0.0286 * u + 0.0422 * lnF + 0.1434 * lnH - 0.000631 * lnF * lnF * lnH;
    case kClassADryFetch:
        return 0.61 + 0.00341 * H - 0.000162 * u * H - 0.00000959 * u * F + 0.00327 * u * lnF
            - 0.00289 * u * W - 0.0106 * W * lnF + 0.00063 * lnF * lnF * W;
    case kColoradoGreenFetch:
        return 0.87 + 0.119 * lnF - 0.0157 * W * W - 0.0019 * lnF * lnF * W + 0.013 * W * lnH
            - 0.000053 * W * lnF * H;
    case kColoradoDryFetch:
        return 1.145 - 0.080 * u + 0.000903 * u * u * lnH - 0.0964 * lnF + 0.0031 * u * lnF
            + 0.0015 * lnF * lnF * lnH;
    default:
        throw std::invalid_argument("panCoefficient: no regression for pan code "
                                    + std::to_string(code));
    }
}

double unknownPanCoefficient(double u, double H)
{
    double sum = 0;
    for (int code = kClassAGreenFetch; code <= kColoradoDryFetch; ++code)
        sum += panCoefficient(code, u, H, kUnknownPanFetch);
    return sum / 4.0;
}

} // namespace pluvora::methods
