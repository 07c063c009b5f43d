#include "digits.h"

#include "engine/io/numbertext.h"
#include "engine/methods/penmanmonteith.h"
#include "engine/methods/solargeometry.h"
#include "engine/record/record.h"

#include <gtest/gtest.h>

namespace pluvora::methods {
namespace {

// Latitude 35, elevation 300 m, DOY 180: Rs 25.0, 32.0 / 18.0 °C, RH 55,
// wind 3.0 m/s.
PenmanMonteithInput workedRecord()
{
    PenmanMonteithInput in;
    in.Rs = 25.0;
    in.Tmax = 32.0;
    in.Tmin = 18.0;
    in.RH = 55.0;
    in.u = 3.0;
    in.J = 180;
    in.phi = degreesToRadians(35.0);
    in.z = 300.0;
    return in;
}

TEST(PenmanMonteith, WorkedRecordMatchesEveryIntermediate)
{
    const auto result = alfalfaReferenceET(workedRecord());
    ASSERT_TRUE(result);
    const auto& t = result.value;
    const struct {
        const char* name;
        double actual;
        const char* printed;
    } rows[] = {
        {"P", t.P, "97.804"},
        {"gamma", t.gamma, "0.065039"},
        {"e(Tmax)", t.esTmax, "4.75478"},
        {"e(Tmin)", t.esTmin, "2.06399"},
        {"es", t.es, "3.40938"},
        {"Tmean", t.Tmean, "25"},
        {"e(Tmean)", t.esTmean, "3.16778"},
        {"delta", t.delta, "0.188682"},
        {"ea", t.ea, "1.74228"},
        {"VPD", t.VPD, "1.66711"},
        {"Rns", t.Rns, "19.25"},
        {"Ra", t.Ra, "41.5136"},
        {"Rso", t.Rso, "31.1352"},
        {"longwave temperature term", t.longwaveTemperatureTerm, "38.8771"},
        {"Rnl", t.Rnl, "4.42883"},
        {"Rn", t.Rn, "14.8212"},
        {"ET0", t.ET0, "6.63424"},
        {"ETr", t.ETr, "8.62451"},
    };
    for (const auto& row : rows)
        EXPECT_TRUE(matchesDigits(row.actual, row.printed)) << row.name;
    EXPECT_EQ(formatFixed(t.ETr, 1), "8.6");
}

TEST(PenmanMonteith, FahrenheitTwinGivesTheSameETr)
{
    auto in = workedRecord();
    in.Tmax = fahrenheitToCelsius(89.6);
    in.Tmin = fahrenheitToCelsius(64.4);
    const auto twin = alfalfaReferenceET(in);
    const auto original = alfalfaReferenceET(workedRecord());
    ASSERT_TRUE(twin && original);
    EXPECT_NEAR(twin.value.ETr, original.value.ETr, 1e-12);
    EXPECT_EQ(formatFixed(twin.value.ETr, 1), "8.6");
}

TEST(PenmanMonteith, SaturationVaporPressureAtZeroIsTheConstant)
{
    EXPECT_DOUBLE_EQ(saturationVaporPressure(0.0), 0.6108);
}

struct PressureCase {
    double z;
    const char* P;
};

class AtmosphericPressure : public testing::TestWithParam<PressureCase> {};

TEST_P(AtmosphericPressure, FollowsElevation)
{
    const auto P = atmosphericPressure(GetParam().z);
    ASSERT_TRUE(P);
    EXPECT_TRUE(matchesDigits(P.value, GetParam().P));
}

INSTANTIATE_TEST_SUITE_P(PenmanMonteith, AtmosphericPressure,
                         testing::Values(PressureCase{0.0, "101.3"}, PressureCase{1000.0, "90.025"},
                                         PressureCase{293.0 / 0.0065, "0"}),
                         [](const auto& p) { return "Elevation" + std::to_string(static_cast<int>(p.param.z)); });

TEST(PenmanMonteith, ElevationAbovePressureLimitHasNoValue)
{
    EXPECT_EQ(atmosphericPressure(45077.0).reason, NoValueReason::ElevationTooHigh);
    auto in = workedRecord();
    in.z = 50000.0;
    const auto result = alfalfaReferenceET(in);
    EXPECT_EQ(result.reason, NoValueReason::ElevationTooHigh);
    EXPECT_EQ(noValueMessage(result.reason, in.J), kElevationTooHighMessage);
}

TEST(PenmanMonteith, DarkDayHasNegativeLongwaveAndSmallETr)
{
    PenmanMonteithInput in;
    in.Rs = 0.0;
    in.Tmax = 5.0;
    in.Tmin = -5.0;
    in.RH = 95.0;
    in.u = 0.0;
    in.J = 10;
    in.phi = degreesToRadians(35.0);
    in.z = 300.0;
    const auto result = alfalfaReferenceET(in);
    ASSERT_TRUE(result);
    EXPECT_EQ(result.value.Rns, 0.0);
    EXPECT_TRUE(matchesDigits(result.value.Rnl, "-2.23403"));
    EXPECT_TRUE(matchesDigits(result.value.Rn, "2.23403"));
    EXPECT_TRUE(matchesDigits(result.value.ET0, "0.370041"));
    EXPECT_TRUE(matchesDigits(result.value.ETr, "0.481053"));
    EXPECT_EQ(formatFixed(result.value.ETr, 1), "0.5");
}

TEST(PenmanMonteith, NetRadiationIsFlooredWhenLongwaveExceedsShortwave)
{
    const double phi = degreesToRadians(60.0);
    const auto day = clearDay(355, phi, 0.25, 0.50);
    ASSERT_TRUE(day);
    ASSERT_TRUE(matchesDigits(day.value.Rso, "1.58727"));

    PenmanMonteithInput in;
    in.Rs = day.value.Rso;
    in.Tmax = 10.0;
    in.Tmin = 0.0;
    in.RH = 0.0;
    in.u = 0.0;
    in.J = 355;
    in.phi = phi;
    in.z = 0.0;
    const auto result = alfalfaReferenceET(in);
    ASSERT_TRUE(result);
    EXPECT_TRUE(matchesDigits(result.value.Rns, "1.22220"));
    EXPECT_TRUE(matchesDigits(result.value.Rnl, "9.99910"));
    EXPECT_EQ(result.value.Rn, 0.001);
    EXPECT_TRUE(matchesDigits(result.value.ETr, "0.000252"));
    EXPECT_EQ(formatFixed(result.value.ETr, 1), "0.0");
}

TEST(PenmanMonteith, SaturatedAirLeavesOnlyTheRadiationTerm)
{
    auto in = workedRecord();
    in.RH = 100.0;
    in.Tmin = in.Tmax;
    const auto result = alfalfaReferenceET(in);
    ASSERT_TRUE(result);
    const auto& t = result.value;
    EXPECT_EQ(t.VPD, 0.0);
    EXPECT_NEAR(t.ET0, 0.408 * t.delta * t.Rn / (t.delta + t.gamma * (1.0 + 0.34 * in.u)), 1e-12);
}

TEST(PenmanMonteith, PolarDayAndNightHaveNoValue)
{
    auto in = workedRecord();
    in.phi = degreesToRadians(80.0);
    in.J = 172;
    EXPECT_EQ(alfalfaReferenceET(in).reason, NoValueReason::NoSunriseOrSunset);
    in.J = 355;
    EXPECT_EQ(alfalfaReferenceET(in).reason, NoValueReason::NoSunriseOrSunset);
    in.phi = degreesToRadians(-80.0);
    EXPECT_EQ(alfalfaReferenceET(in).reason, NoValueReason::NoSunriseOrSunset);
}

} // namespace
} // namespace pluvora::methods
