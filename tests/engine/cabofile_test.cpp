#include "engine/error.h"
#include "engine/formats/cabofile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace pluvora {
namespace {

// The station line after the comments; 365 days between two status lines,
// -99 and -99.000 as no value, the rest as printed in the file's units.
TEST(CaboWeather, ReadsTheStationLineAndEveryDay)
{
    std::ifstream in(std::filesystem::path(PLUVORA_TEST_DATA) / "formats" / "cabo_pcse_NL1.990");
    ASSERT_TRUE(in);
    const CaboHead head = readCaboHead(in);
    EXPECT_EQ(head.longitude, 5.67);
    EXPECT_EQ(head.latitude, 51.97);
    EXPECT_EQ(head.elevation, 7.0);
    EXPECT_EQ(head.angstromA, -0.18);
    EXPECT_EQ(head.angstromB, -0.55);
    EXPECT_EQ(head.rowsBefore, 30);
    std::vector<CaboDay> days;
    int statusLines = 0;
    for (std::string line; std::getline(in, line);) {
        if (const auto day = readCaboDay(line))
            days.push_back(*day);
        else
            ++statusLines;
    }
    EXPECT_EQ(statusLines, 2);
    ASSERT_EQ(days.size(), 365u);
    const CaboDay& first = days.front();
    EXPECT_EQ((std::vector<int>{first.station, first.year, first.doy}), (std::vector<int>{1, 1990, 1}));
    EXPECT_EQ(first.irradiation, 770.0);
    EXPECT_EQ(first.tmin, -0.2);
    EXPECT_EQ(first.tmax, 0.7);
    EXPECT_EQ(first.vapourPressure, 0.82);
    EXPECT_EQ(first.wind, 2.8);
    EXPECT_EQ(first.rain, 0.0);
    const CaboDay& day17 = days[16];
    EXPECT_EQ(day17.doy, 17);
    EXPECT_EQ(day17.wind, std::nullopt);
    EXPECT_EQ(days[24].vapourPressure, std::nullopt); // -99.000
    EXPECT_EQ(days.back().doy, 365);
    EXPECT_EQ(days.back().irradiation, 2380.0);
    EXPECT_EQ(days.back().rain, 2.9);
}

TEST(CaboWeather, RefusesWhatIsNoCaboFile)
{
    std::istringstream csv("* a comment\nDate,Tmax\n");
    EXPECT_THROW(readCaboHead(csv), Error);
    EXPECT_THROW(readCaboDay("1 1990 1 770. -0.2 0.7 0.82 2.8"), Error);
    EXPECT_THROW(readCaboDay("1 1990 1 770. -0.2 0.7 0.82 2.8 x"), Error);
}

} // namespace
} // namespace pluvora
