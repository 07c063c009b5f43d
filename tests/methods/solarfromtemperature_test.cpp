#include "digits.h"

#include "engine/io/numbertext.h"
#include "engine/methods/solarfromtemperature.h"
#include "engine/methods/solargeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pluvora::methods {
namespace {

struct TauCase {
    int J;
    double tau;
};

class MahmoodHubbardTransmissivity : public testing::TestWithParam<TauCase> {};

TEST_P(MahmoodHubbardTransmissivity, FollowsDistanceFromMidsummer)
{
    EXPECT_NEAR(MHtransmissivity(GetParam().J), GetParam().tau, 1e-15);
}

INSTANTIATE_TEST_SUITE_P(SolarFromTemperature, MahmoodHubbardTransmissivity,
                         testing::Values(TauCase{182, 0.8},
                                         TauCase{1, 0.8 + 0.12 * std::pow(181.0 / 183.0, 1.5)},
                                         TauCase{365, 0.92}),
                         [](const auto& p) { return "Day" + std::to_string(p.param.J); });

TEST(SolarFromTemperature, MahmoodHubbardWithoutRangeGoesNegativeAndIsWrittenAsFloor)
{
    double Rs = 0;
    MHmodel(180, Rs, 30.0, 20.0, 20.0);
    EXPECT_DOUBLE_EQ(Rs, -2.4999 / 0.8023);

    const auto record = solarFromTemperature(kRegionMidWestUsa, 180, degreesToRadians(40.0), 20.0, 20.0);
    ASSERT_TRUE(record);
    EXPECT_EQ(formatFixed(record.value, 2), "0.01");
}

TEST(SolarFromTemperature, FaoWithoutRangeIsZero)
{
    const auto record = solarFromTemperature(kRegionCoastal, 180, degreesToRadians(40.0), 0.0, 0.0);
    ASSERT_TRUE(record);
    EXPECT_EQ(formatFixed(record.value, 2), "0.00");
}

TEST(SolarFromTemperature, CoastalAndContinentalDifferByTheirCoefficients)
{
    const double phi = degreesToRadians(40.0);
    const auto coastal = solarFromTemperature(kRegionCoastal, 200, phi, 30.0, 15.0);
    const auto continental = solarFromTemperature(kRegionContinental, 200, phi, 30.0, 15.0);
    ASSERT_TRUE(coastal && continental);
    EXPECT_NEAR(coastal.value / continental.value, 0.19 / 0.16, 1e-12);
}

// A range below zero has no real power; the record must still get the
// written floor rather than NaN.
TEST(SolarFromTemperature, InvertedRangeIsWrittenAsFloorByEveryRegion)
{
    for (int region : {kRegionMidWestUsa, kRegionContinental, kRegionCoastal}) {
        const auto record = solarFromTemperature(region, 100, degreesToRadians(40.0), 10.0, 12.0);
        ASSERT_TRUE(record) << "region " << region;
        EXPECT_EQ(record.value, kSolarFromTemperatureFloor) << "region " << region;
    }
}

TEST(SolarFromTemperature, SunlessDayHasNoValue)
{
    for (int region : {kRegionMidWestUsa, kRegionContinental, kRegionCoastal}) {
        EXPECT_EQ(solarFromTemperature(region, 355, degreesToRadians(75.0), 0.0, -10.0).reason,
                  NoValueReason::NoSunriseOrSunset);
        EXPECT_EQ(solarFromTemperature(region, 172, degreesToRadians(75.0), 15.0, 5.0).reason,
                  NoValueReason::NoSunriseOrSunset);
    }
}

} // namespace
} // namespace pluvora::methods
