#include "engine/error.h"
#include "engine/formats/dssatweatherfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace pluvora {
namespace {

const std::filesystem::path kFormats = std::filesystem::path(PLUVORA_TEST_DATA) / "formats";

struct WthCase {
    const char* name;
    const char* file;
    const char* station;
    double latitude, longitude, elevation, tav, amp;
    std::vector<std::string> names;
    int rowsBefore;
    std::pair<int, int> firstDate, lastDate;
    std::vector<double> firstValues, lastValues;
};

class DssatWeather : public ::testing::TestWithParam<WthCase> {};

std::vector<std::string> namesOf(const std::vector<DssatColumn>& columns)
{
    std::vector<std::string> names;
    for (const auto& c : columns)
        names.push_back(c.name);
    return names;
}

// The site line under its @ row, the columns of the days, and each of the
// 365 days, values compared with the file as printed.
TEST_P(DssatWeather, ReadsSiteAndEveryDay)
{
    const WthCase& c = GetParam();
    std::ifstream in(kFormats / c.file);
    ASSERT_TRUE(in);
    const DssatHead head = readDssatHead(in);
    EXPECT_EQ(head.site.station, c.station);
    EXPECT_EQ(head.site.latitude, c.latitude);
    EXPECT_EQ(head.site.longitude, c.longitude);
    EXPECT_EQ(head.site.elevation, c.elevation);
    EXPECT_EQ(head.site.tav, c.tav);
    EXPECT_EQ(head.site.amp, c.amp);
    EXPECT_EQ(namesOf(head.columns), c.names);
    EXPECT_EQ(head.rowsBefore, c.rowsBefore);
    std::vector<DssatDay> days;
    for (std::string line; std::getline(in, line);)
        days.push_back(readDssatDay(line, head.columns));
    ASSERT_EQ(days.size(), 365u);
    EXPECT_EQ(std::make_pair(days.front().year, days.front().doy), c.firstDate);
    EXPECT_EQ(std::make_pair(days.back().year, days.back().doy), c.lastDate);
    for (std::size_t k = 0; k < c.firstValues.size(); ++k) {
        EXPECT_EQ(days.front().values[k], c.firstValues[k]) << k;
        EXPECT_EQ(days.back().values[k], c.lastValues[k]) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DssatWeather,
    ::testing::Values(
        // Five-digit dates, a gap of unused columns before PAR.
        WthCase{"YearsOfTwoDigits", "dssat_UFGA8201.WTH", "UFGA", 29.630, -82.370, 10, 20.9, 13.0,
                {"DATE", "SRAD", "TMAX", "TMIN", "RAIN", "PAR"}, 5, {1982, 1}, {1982, 365},
                {5.9, 24.4, 15.6, 19.0, 12.4}, {2.0, 16.7, 12.8, 0.8, 5.0}},
        WthCase{"YearsOfFourDigits", "dssat_UFGA2101.WTH", "UFGA", 29.803, 82.411, 160, 20.9, 15.5,
                {"DATE", "SRAD", "TMAX", "TMIN", "RAIN", "DEWP"}, 5, {2021, 1}, {2021, 365},
                {8.9, 28.5, 19.5, 0.0, 19.8}, {3.9, 25.7, 19.4, 0.0, 21.1}}),
    [](const auto& param) { return std::string(param.param.name); });

// Values that touch are cut by the spans; -99 is missing; a bad date stops.
TEST(DssatWeather, SpansMissingValuesAndBadDates)
{
    const auto columns = dssatColumns("@DATE  SRAD  TMAX  RAIN");
    const DssatDay day = readDssatDay("9912312.345-10.5 -99.0", columns);
    EXPECT_EQ(day.year, 1999);
    EXPECT_EQ(day.doy, 123);
    EXPECT_EQ(day.values, (std::vector<std::optional<double>>{12.345, -10.5, std::nullopt}));
    EXPECT_EQ(readDssatDay("20001   1.0", columns).year, 2020);
    EXPECT_THROW(readDssatDay("2001   1.0", columns), Error);
    EXPECT_THROW(readDssatDay("82001   x.0", columns), Error);
    std::istringstream csv("Date,Tmax\n2001-01-01,3\n");
    EXPECT_THROW(readDssatHead(csv), Error);
}

} // namespace
} // namespace pluvora
