#include "engine/provenance/decimation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace pluvora {
namespace {

TEST(Decimation, KeepsEverySpikeWithAtMostTwoPointsPerColumn)
{
    std::vector<double> x(100000), y(100000);
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = static_cast<double>(i);
        y[i] = std::sin(static_cast<double>(i) / 300);
    }
    y[5777] = 100;
    y[70001] = -100;
    const auto points = decimateMinMax(x, y, 0, 99999, 400);
    EXPECT_LE(points.size(), 800u);
    EXPECT_TRUE(std::is_sorted(points.begin(), points.end(), [](auto& a, auto& b) { return a.x < b.x; }));
    auto has = [&](double px, double py) {
        return std::any_of(points.begin(), points.end(), [&](auto& p) { return p.x == px && p.y == py; });
    };
    EXPECT_TRUE(has(5777, 100));
    EXPECT_TRUE(has(70001, -100));
    EXPECT_TRUE(has(0, y[0]));
    EXPECT_TRUE(has(99999, y[99999]));
}

TEST(Decimation, MissingValuesBreakTheLineAndAZoomKeepsItsNeighbours)
{
    const double none = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> x{0, 1, 2, 3, 4, 5, 6, 7};
    const std::vector<double> y{1, 2, none, none, 5, 6, 7, 8};
    const auto all = decimateMinMax(x, y, 0, 7, 8);
    ASSERT_EQ(all.size(), 6u);
    EXPECT_FALSE(all[1].breakBefore);
    EXPECT_TRUE(all[2].breakBefore);
    EXPECT_EQ(all[2].x, 4);
    // In view 5 to 6: one value either side, so the line runs to the edges.
    const auto zoomed = decimateMinMax(x, y, 5, 6, 10);
    ASSERT_EQ(zoomed.size(), 4u);
    EXPECT_EQ(zoomed.front().x, 4);
    EXPECT_EQ(zoomed.back().x, 7);
}

} // namespace
} // namespace pluvora
