#include "engine/error.h"
#include "engine/formats/apsimmetfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace pluvora {
namespace {

const std::filesystem::path kFormats = std::filesystem::path(PLUVORA_TEST_DATA) / "formats";

struct MetCase {
    const char* name;
    const char* file;
    double latitude, longitude, tav, amp;
    std::vector<std::string> names;
    std::vector<std::string> units;
    int rowsBefore;
    std::size_t days;
    std::vector<double> firstDay; // as the file writes it
    std::vector<double> lastDay;
};

class ApsimMet : public ::testing::TestWithParam<MetCase> {};

// The head from its constants, names and units rows; every day after it,
// to the end, one value a column.
TEST_P(ApsimMet, ReadsTheHeadAndEveryDay)
{
    const MetCase& c = GetParam();
    std::ifstream in(kFormats / c.file);
    ASSERT_TRUE(in);
    const ApsimMetHead head = readApsimMetHead(in);
    EXPECT_EQ(head.latitude, c.latitude);
    EXPECT_EQ(head.longitude, c.longitude);
    EXPECT_EQ(head.tav, c.tav);
    EXPECT_EQ(head.amp, c.amp);
    EXPECT_EQ(head.names, c.names);
    EXPECT_EQ(head.units, c.units);
    EXPECT_EQ(head.rowsBefore, c.rowsBefore);
    std::vector<std::vector<std::optional<double>>> days;
    for (std::string line; std::getline(in, line);)
        days.push_back(readApsimMetRow(line, head.names.size()));
    ASSERT_EQ(days.size(), c.days);
    for (std::size_t k = 0; k < c.firstDay.size(); ++k) {
        EXPECT_EQ(days.front()[k], c.firstDay[k]) << k;
        EXPECT_EQ(days.back()[k], c.lastDay[k]) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ApsimMet,
    ::testing::Values(
        MetCase{"SiloWithCommentLines", "silo_apsim_wagga_72150.met", -35.1583, 147.4575, 15.77, 17.28,
                {"year", "day", "radn", "maxt", "mint", "rain", "evap", "vp", "code"},
                {"", "", "MJ/m^2", "oC", "oC", "mm", "mm", "hPa", ""}, 23, 587,
                {2023, 335, 26.1, 28.7, 14.4, 0.0, 4.7, 16.4, 400020},
                {2025, 190, 3.0, 12.6, 3.3, 0.4, 0.0, 8.9, 2700250}},
        // A free text line in the head, no unit on latitude.
        MetCase{"ApsimExampleWithAFreeLine", "apsim_KE_Kitui_1985-01-02.met", -1.375, 37.985, 23.08, 3.64,
                {"year", "day", "radn", "maxt", "mint", "rain", "vp", "wind", "code"},
                {"", "", "MJ/m^2", "oC", "oC", "mm", "hPa", "m/s", ""}, 8, 59,
                {1985, 1, 24.0, 28.2, 15.7, 0.0, 19.5, 0.8, 999999},
                {1985, 59, 24.0, 30.8, 17.2, 0.0, 19.6, 1.1, 999999}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ApsimMet, MissingValuesAndFaults)
{
    const auto row = readApsimMetRow("2001 1 ? 1.04E+01 *", 5);
    EXPECT_EQ(row, (std::vector<std::optional<double>>{2001, 1, std::nullopt, 10.4, std::nullopt}));
    EXPECT_THROW(readApsimMetRow("2001 1 2", 5), Error);
    EXPECT_THROW(readApsimMetRow("2001 1 x 2 3", 5), Error);
    EXPECT_TRUE(looksLikeApsimMet("[weather.met.weather]\nlatitude = 1\nyear day\n() ()\n2001 1\n"));
    EXPECT_FALSE(looksLikeApsimMet("Date,Tmax\n2001-01-01,3\n"));
    // Names and units of different widths are no head.
    EXPECT_FALSE(looksLikeApsimMet("year day rain\n() ()\n"));
}

} // namespace
} // namespace pluvora
