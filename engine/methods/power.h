#pragma once

#include <cmath>
#include <limits>

namespace pluvora::methods {

// b^e for a non-integer exponent, as exp(e * ln b) so that results match the
// published tables to the last digit. A base of 0 gives 0 (a day with no
// temperature range is a valid input); a negative base has no real power
// and gives NaN, which the callers test for.
inline double power(double base, double exponent)
{
    if (base == 0.0)
        return 0.0;
    if (base < 0.0)
        return std::numeric_limits<double>::quiet_NaN();
    return std::exp(exponent * std::log(base));
}

} // namespace pluvora::methods
