#include "digits.h"

#include "engine/io/numbertext.h"
#include "engine/methods/pancoefficient.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

namespace pluvora::methods {
namespace {

// The worked record: Epan 8.0 mm, u 2.0 m/s, H 60 %, fetch 1000 m.
constexpr double kEpan = 8.0;
constexpr double kWind = 2.0;
constexpr double kHumidity = 60.0;
constexpr double kFetch = 1000.0;

struct PanCase {
    int code;
    const char* Kp;
    const char* written; // ET as written to the output, one decimal
};

class PanCoefficients : public testing::TestWithParam<PanCase> {};

TEST_P(PanCoefficients, MatchWorkedRecord)
{
    const auto& c = GetParam();
    const double Kp = panCoefficient(c.code, kWind, kHumidity, kFetch);
    EXPECT_TRUE(matchesDigits(Kp, c.Kp));
    EXPECT_EQ(formatFixed(kEpan * Kp, 1), c.written);
}

INSTANTIATE_TEST_SUITE_P(PanCoefficient, PanCoefficients,
                         testing::Values(PanCase{kClassAGreenFetch, "0.80616", "6.4"},
                                         PanCase{kClassADryFetch, "0.56901", "4.6"},
                                         PanCase{kColoradoGreenFetch, "0.96922", "7.8"},
                                         PanCase{kColoradoDryFetch, "0.66976", "5.4"}),
                         [](const auto& p) { return "Code" + std::to_string(p.param.code); });

TEST(PanCoefficient, ClassAGreenFetchWorkedValue)
{
    EXPECT_TRUE(matchesDigits(kEpan * panCoefficient(1, kWind, kHumidity, kFetch), "6.4493"));
}

TEST(PanCoefficient, UnknownPanAveragesTheFourAtFiveHundredMetres)
{
    const char* atFiveHundred[] = {"0.80041", "0.58240", "0.98713", "0.67642"};
    for (int code = 1; code <= 4; ++code)
        EXPECT_TRUE(matchesDigits(panCoefficient(code, kWind, kHumidity, kUnknownPanFetch),
                                  atFiveHundred[code - 1]))
            << "code " << code;

    const double Kp = unknownPanCoefficient(kWind, kHumidity);
    EXPECT_TRUE(matchesDigits(Kp, "0.76159"));
    EXPECT_TRUE(matchesDigits(kEpan * Kp, "6.0927"));
    EXPECT_EQ(formatFixed(kEpan * Kp, 1), "6.1");
}

TEST(PanCoefficient, CalmDryDayIsFlooredAndMayGoNegative)
{
    const double Kp = panCoefficient(kClassAGreenFetch, 0.0, 0.0, kFetch);
    EXPECT_TRUE(matchesDigits(Kp, "-0.38310"));
    EXPECT_EQ(formatFixed(kEpan * Kp, 1), "-3.1");
    EXPECT_EQ(panCoefficient(kClassAGreenFetch, -5.0, -1.0, kFetch), Kp);
}

TEST(PanCoefficient, EveryCodeStaysFiniteAtTheFloors)
{
    for (int code = 1; code <= 4; ++code) {
        EXPECT_TRUE(std::isfinite(panCoefficient(code, 0.0, 0.0, 0.0))) << "code " << code;
        EXPECT_TRUE(std::isfinite(panCoefficient(code, 0.0, 0.0, 100000.0))) << "code " << code;
    }
}

// Code 3's humidity term uses W, not ln(F): with F = 1 (ln F = 0) the
// coefficient still moves with humidity.
TEST(PanCoefficient, ColoradoGreenHumidityTermUsesWind)
{
    const double dry = panCoefficient(kColoradoGreenFetch, kWind, 20.0, 1.0);
    const double humid = panCoefficient(kColoradoGreenFetch, kWind, 80.0, 1.0);
    const double W = std::log(86.4 * kWind);
    EXPECT_NEAR(humid - dry, 0.013 * W * (std::log(80.0) - std::log(20.0)), 1e-12);
}

TEST(PanCoefficient, CodeWithoutRegressionIsRefused)
{
    EXPECT_THROW(panCoefficient(kPanTypeUnknown, kWind, kHumidity, kFetch), std::invalid_argument);
    EXPECT_THROW(panCoefficient(0, kWind, kHumidity, kFetch), std::invalid_argument);
}

} // namespace
} // namespace pluvora::methods
