#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

// Published worked examples give values to a number of decimals, some of
// them rounded from already rounded terms; a value agrees when it lies
// within one unit of the last printed digit.
inline testing::AssertionResult matchesDigits(double actual, const std::string& printed)
{
    const auto point = printed.find('.');
    const int decimals = point == std::string::npos ? 0 : static_cast<int>(printed.size() - point - 1);
    const double expected = std::strtod(printed.c_str(), nullptr);
    const double tolerance = std::pow(10.0, -decimals) * (1.0 + 1e-9);
    if (std::abs(actual - expected) <= tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
        << "value " << testing::PrintToString(actual) << " is not within one last-digit unit of " << printed;
}
