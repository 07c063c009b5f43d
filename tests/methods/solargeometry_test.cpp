#include "digits.h"

#include "engine/methods/solargeometry.h"

#include <gtest/gtest.h>

namespace pluvora::methods {
namespace {

struct ClearDayCase {
    double latitude; // degrees
    int J;
    const char* Ra;
    const char* Rso; // default Angstrom pair
    const char* N;
};

class ClearDayExamples : public testing::TestWithParam<ClearDayCase> {};

TEST_P(ClearDayExamples, MatchWorkedValues)
{
    const auto& c = GetParam();
    double a = 0, b = 0;
    getAngstromConstants(0, a, b);
    double Ra = -1, Rso = -1, N = -1;
    ASSERT_TRUE(SolarOFclearDay(c.J, Ra, degreesToRadians(c.latitude), a, b, Rso, N));
    EXPECT_TRUE(matchesDigits(Ra, c.Ra));
    if (*c.Rso) {
        EXPECT_TRUE(matchesDigits(Rso, c.Rso));
    }
    if (*c.N) {
        EXPECT_TRUE(matchesDigits(N, c.N));
    }
    EXPECT_DOUBLE_EQ(Rso, 0.75 * Ra);
}

INSTANTIATE_TEST_SUITE_P(SolarGeometry, ClearDayExamples,
                         testing::Values(ClearDayCase{45.0, 172, "41.9105", "", "15.4248"},
                                         ClearDayCase{-45.0, 172, "9.7830", "", "8.5752"},
                                         ClearDayCase{60.0, 355, "2.1164", "", "5.5130"},
                                         ClearDayCase{-22.9, 246, "31.1975", "23.3981", ""}),
                         [](const auto& p) { return "Case" + std::to_string(p.index); });

TEST(SolarGeometry, EquatorHasTwelveHourDaysAllYear)
{
    for (int J = 1; J <= 366; ++J) {
        const auto day = clearDay(J, 0.0, 0.25, 0.5);
        ASSERT_TRUE(day) << "J " << J;
        EXPECT_NEAR(day.value.N, 12.0, 1e-12) << "J " << J;
    }
}

struct SunlessCase {
    double latitude;
    int J;
};

class SunlessDays : public testing::TestWithParam<SunlessCase> {};

TEST_P(SunlessDays, HaveNoValueAndLeaveOutputsAlone)
{
    const auto& c = GetParam();
    const double phi = degreesToRadians(c.latitude);
    EXPECT_EQ(clearDay(c.J, phi, 0.25, 0.5).reason, NoValueReason::NoSunriseOrSunset);

    double Ra = 7, Rso = 8, N = 9;
    EXPECT_FALSE(SolarOFclearDay(c.J, Ra, phi, 0.25, 0.5, Rso, N));
    EXPECT_EQ(Ra, 7);
    EXPECT_EQ(Rso, 8);
    EXPECT_EQ(N, 9);
}

INSTANTIATE_TEST_SUITE_P(SolarGeometry, SunlessDays,
                         testing::Values(SunlessCase{70.0, 172},   // polar day
                                         SunlessCase{70.0, 355},   // polar night
                                         SunlessCase{-75.0, 172},  // southern polar night
                                         SunlessCase{-75.0, 355},  // southern polar day
                                         SunlessCase{90.0, 80}),
                         [](const auto& p) { return "Case" + std::to_string(p.index); });

TEST(SolarGeometry, SunlessDayMessageNamesTheDay)
{
    EXPECT_EQ(noValueMessage(NoValueReason::NoSunriseOrSunset, 172),
              std::string(kNoSunriseOrSunsetMessage) + "172.");
}

struct ZoneCase {
    int zone;
    double a;
    double b;
};

class AngstromZones : public testing::TestWithParam<ZoneCase> {};

TEST_P(AngstromZones, GiveTheirPair)
{
    const auto& c = GetParam();
    double a = -1, b = -1;
    getAngstromConstants(c.zone, a, b);
    EXPECT_EQ(a, c.a);
    EXPECT_EQ(b, c.b);
}

INSTANTIATE_TEST_SUITE_P(SolarGeometry, AngstromZones,
                         testing::Values(ZoneCase{0, 0.25, 0.50}, ZoneCase{1, 0.18, 0.55},
                                         ZoneCase{2, 0.25, 0.45}, ZoneCase{3, 0.29, 0.42},
                                         ZoneCase{4, -1, -1}, ZoneCase{-1, -1, -1}),
                         [](const auto& p) { return "Zone" + std::to_string(p.index); });

TEST(SolarGeometry, DegreesUseFullPi)
{
    EXPECT_DOUBLE_EQ(degreesToRadians(180.0), 3.14159265358979323846);
    EXPECT_TRUE(matchesDigits(degreesToRadians(45.0), "0.785398"));
}

} // namespace
} // namespace pluvora::methods
