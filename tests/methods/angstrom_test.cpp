#include "engine/methods/angstrom.h"
#include "engine/methods/solargeometry.h"

#include <gtest/gtest.h>

#include <string>

namespace pluvora::methods {
namespace {

struct SunshineCase {
    int zone;
    SunshineMode mode;
    double sunshine;    // hours, or percent; a negative value means "N hours"
    double fractionOfRa;
};

class AngstromEstimates : public testing::TestWithParam<SunshineCase> {};

TEST_P(AngstromEstimates, AreTheStatedFractionOfRa)
{
    const auto& c = GetParam();
    const double phi = degreesToRadians(40.0);
    const int J = 120;
    const auto day = clearDay(J, phi, 0, 0);
    ASSERT_TRUE(day);
    const double sunshine = c.sunshine < 0 ? day.value.N : c.sunshine;

    const auto Rs = solarFromSunshine(c.zone, c.mode, sunshine, J, phi);
    ASSERT_TRUE(Rs);
    EXPECT_NEAR(Rs.value, c.fractionOfRa * day.value.Ra, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    SolarFromSunshine, AngstromEstimates,
    testing::Values(SunshineCase{1, SunshineMode::Hours, -1, 0.73}, // sunny all day
                    SunshineCase{1, SunshineMode::Hours, 0, 0.18},
                    SunshineCase{3, SunshineMode::Percent, 50, 0.50},
                    SunshineCase{2, SunshineMode::Percent, 100, 0.70},
                    SunshineCase{2, SunshineMode::Percent, 150, 0.925}), // not capped
    [](const auto& p) { return "Case" + std::to_string(p.index); });

TEST(SolarFromSunshine, SouthernLatitudeIsAccepted)
{
    const auto Rs = solarFromSunshine(1, SunshineMode::Percent, 40, 10, degreesToRadians(-33.9));
    ASSERT_TRUE(Rs);
    EXPECT_GT(Rs.value, 0.0);
}

TEST(SolarFromSunshine, NegativeEstimateIsWrittenAsFloor)
{
    const auto Rs = solarFromSunshine(1, SunshineMode::Percent, -100, 120, degreesToRadians(40.0));
    ASSERT_TRUE(Rs);
    EXPECT_EQ(Rs.value, kSolarFromSunshineFloor);
}

TEST(SolarFromSunshine, SunlessDayHasNoValueInEitherMode)
{
    for (auto mode : {SunshineMode::Hours, SunshineMode::Percent}) {
        EXPECT_EQ(solarFromSunshine(1, mode, 0, 355, degreesToRadians(78.0)).reason,
                  NoValueReason::NoSunriseOrSunset);
        EXPECT_EQ(solarFromSunshine(1, mode, 20, 172, degreesToRadians(78.0)).reason,
                  NoValueReason::NoSunriseOrSunset);
    }
}

} // namespace
} // namespace pluvora::methods
