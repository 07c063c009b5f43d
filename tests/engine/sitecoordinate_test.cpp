#include "engine/run/sitecoordinate.h"

#include <gtest/gtest.h>

using namespace pluvora;

namespace {

struct CoordinateCase {
    const char* latitude;
    Hemisphere hemisphere;
    const char* longitude;
    LongitudeSide side;
    const char* elevation;
    std::string expected; // the line, or the message
};

void PrintTo(const CoordinateCase& c, std::ostream* os)
{
    *os << c.latitude << (c.hemisphere == Hemisphere::South ? " S, " : " N, ") << c.longitude
        << (c.side == LongitudeSide::East ? " E, " : " W, ") << c.elevation;
}

std::string outcome(const CoordinateCase& c)
{
    const auto result =
        siteCoordinateLine(c.latitude, c.hemisphere, c.longitude, c.side, c.elevation);
    if (const auto* line = std::get_if<std::string>(&result))
        return *line;
    return std::string(std::get<SiteCoordinateError>(result).message);
}

constexpr auto N = Hemisphere::North;
constexpr auto S = Hemisphere::South;
constexpr auto W = LongitudeSide::West;
constexpr auto E = LongitudeSide::East;

} // namespace

class SiteCoordinate : public ::testing::TestWithParam<CoordinateCase> {};

TEST_P(SiteCoordinate, LineOrMessage) { EXPECT_EQ(outcome(GetParam()), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, SiteCoordinate,
    ::testing::Values(
        CoordinateCase{"40.5", N, "96.25", W, "350", "40.5 96.25 350  Lat (deg), long (deg), elev(m)"},
        CoordinateCase{"40.50", N, "-96.25", W, "350.0", "40.5 -96.25 350  Lat (deg), long (deg), elev(m)"},
        CoordinateCase{"66", S, "10", E, "0", "-66 -10 0  Lat (deg), long (deg), elev(m)"},
        CoordinateCase{"-66", N, "10", W, "5", "-66 10 5  Lat (deg), long (deg), elev(m)"},
        CoordinateCase{"-12.5", S, "-3", E, "1", "12.5 3 1  Lat (deg), long (deg), elev(m)"},
        CoordinateCase{" 1e1", N, "+2", W, "3 ", "10 2 3  Lat (deg), long (deg), elev(m)"},
        CoordinateCase{"0", S, "0", E, "0", "0 0 0  Lat (deg), long (deg), elev(m)"},
        CoordinateCase{"66.5", N, "10", W, "0", std::string(kLatitudeTooLarge)},
        CoordinateCase{"66.5", S, "10", W, "0", std::string(kLatitudeTooLarge)},
        CoordinateCase{"-70", N, "10", W, "0", std::string(kLatitudeTooLarge)},
        CoordinateCase{"abc", N, "10", W, "0", std::string(kInvalidInput)},
        CoordinateCase{"40", N, "", W, "0", std::string(kInvalidInput)},
        CoordinateCase{"40", N, "10", W, "nan", std::string(kInvalidInput)},
        CoordinateCase{"+-5", N, "10", W, "0", std::string(kInvalidInput)},
        CoordinateCase{"-+5", N, "10", W, "0", std::string(kInvalidInput)},
        // An unreadable text wins over a latitude out of range.
        CoordinateCase{"90", N, "x", W, "0", std::string(kInvalidInput)}));

TEST(CoordinateLine, ShortestNumbers)
{
    EXPECT_EQ(coordinateLine(40.5, -96.25, 350), "40.5 -96.25 350  Lat (deg), long (deg), elev(m)");
    EXPECT_EQ(coordinateLine(0.1 + 0.2, -0.0, 1234.5678),
              "0.3 0 1234.5678  Lat (deg), long (deg), elev(m)");
}
