#include "engine/methods/referencefit.h"

#include <gtest/gtest.h>

namespace pluvora {
namespace {

FitSums sumsOf(std::initializer_list<std::pair<double, double>> pairs)
{
    FitSums sums;
    for (const auto& [x, y] : pairs)
        sums.add(x, y);
    return sums;
}

// An exact line is found whole; a station warmer by a constant has b = 1;
// scatter lowers R2 but keeps it in [0, 1].
TEST(ReferenceFit, LeastSquaresRecoversTheLineAndItsFit)
{
    const auto exact = fitLinear(sumsOf({{0, 2}, {10, 17}, {20, 32}, {-4, -4}}));
    EXPECT_NEAR(exact.a, 2, 1e-12);
    EXPECT_NEAR(exact.b, 1.5, 1e-12);
    EXPECT_NEAR(exact.r2, 1, 1e-12);
    EXPECT_EQ(exact.days, 4);
    // Mean of station − reference before the correction.
    EXPECT_NEAR(exact.bias, (2 + 7 + 12 + 0) / 4.0, 1e-12);

    const auto noisy = fitLinear(sumsOf({{0, 1}, {1, 0}, {2, 3}, {3, 2}}));
    EXPECT_GT(noisy.r2, 0);
    EXPECT_LT(noisy.r2, 1);

    // A reference that never changes cannot explain anything.
    const auto flat = fitLinear(sumsOf({{5, 1}, {5, 3}}));
    EXPECT_EQ(flat.b, 1);
    EXPECT_NEAR(flat.a, -3, 1e-12);
    EXPECT_EQ(flat.r2, 0);
}

// Rain and radiation: the ratio of the totals, never an offset that would
// make rain on a dry day.
TEST(ReferenceFit, RatioGoesThroughTheOrigin)
{
    const auto rain = fitRatio(sumsOf({{0, 0}, {10, 8}, {5, 4}, {0, 0}}));
    EXPECT_EQ(rain.a, 0);
    EXPECT_NEAR(rain.b, 0.8, 1e-12);
    EXPECT_NEAR(rain.r2, 1, 1e-12);
    EXPECT_EQ(rain.apply(0), 0);
    EXPECT_EQ(fitRatio(sumsOf({{0, 3}, {0, 0}})).b, 1);
}

} // namespace
} // namespace pluvora
