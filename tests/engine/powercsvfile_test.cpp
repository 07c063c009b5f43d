#include "engine/error.h"
#include "engine/formats/powercsvfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace pluvora {
namespace {

// The site, the fill value and the units from the header block; all 1,096
// days, with -999.0 as no value and the rest as printed.
TEST(PowerCsv, ReadsTheHeaderBlockAndEveryDay)
{
    std::ifstream in(std::filesystem::path(PLUVORA_TEST_DATA) / "samples" / "nasa_power_chakwal_2000-2002_daily.csv");
    ASSERT_TRUE(in);
    const PowerCsvHead head = readPowerCsvHead(in);
    EXPECT_EQ(head.latitude, 32.9348);
    EXPECT_EQ(head.longitude, 72.8576);
    EXPECT_EQ(head.elevation, 448.45);
    EXPECT_EQ(head.fillValue, -999.0);
    EXPECT_EQ(head.rowsBefore, 33);
    ASSERT_EQ(head.names.size(), 25u);
    EXPECT_EQ(head.names[3], "ALLSKY_SFC_SW_DWN");
    EXPECT_EQ(head.units[3], "kW-hr/m^2/day");
    EXPECT_EQ(head.units[10], "C"); // T2M_MAX
    EXPECT_EQ(head.units[15], "mm/day");
    EXPECT_EQ(head.units[0], "");
    std::vector<PowerDay> days;
    for (std::string line; std::getline(in, line);)
        days.push_back(readPowerDay(line, head));
    ASSERT_EQ(days.size(), 1096u);
    const PowerDay& first = days.front();
    EXPECT_EQ((std::vector<int>{first.year, first.month, first.day}), (std::vector<int>{2000, 1, 1}));
    EXPECT_EQ(first.values[3], 3.52);
    EXPECT_EQ(first.values[5], std::nullopt); // -999.0
    EXPECT_EQ(first.values[10], 23.16);
    EXPECT_EQ(first.values[11], 9.6);
    const PowerDay& last = days.back();
    EXPECT_EQ((std::vector<int>{last.year, last.month, last.day}), (std::vector<int>{2002, 12, 31}));
    EXPECT_EQ(last.values[15], 0.0);
    EXPECT_EQ(last.values[24], 3.61);
}

TEST(PowerCsv, DayOfYearFormAndFaults)
{
    std::istringstream doy("-BEGIN HEADER-\nThe value for missing source data: -99\nT2M_MAX   Max (C)\n-END HEADER-\n"
                           "YEAR,DOY,T2M_MAX\n2001,32,-99\n");
    const PowerCsvHead head = readPowerCsvHead(doy);
    EXPECT_EQ(head.fillValue, -99.0);
    EXPECT_EQ(head.rowsBefore, 5);
    const PowerDay day = readPowerDay("2001,32,-99", head);
    EXPECT_EQ((std::vector<int>{day.year, day.month, day.day}), (std::vector<int>{2001, 0, 32}));
    EXPECT_EQ(day.values[2], std::nullopt);
    EXPECT_THROW(readPowerDay("2001,32", head), Error);
    EXPECT_THROW(readPowerDay("2001,32,x", head), Error);
    std::istringstream noEnd("-BEGIN HEADER-\nLocation: latitude 1 longitude 2\n");
    EXPECT_THROW(readPowerCsvHead(noEnd), Error);
    std::istringstream noDate("-BEGIN HEADER-\n-END HEADER-\nT2M,RH2M\n");
    EXPECT_THROW(readPowerCsvHead(noDate), Error);
}

} // namespace
} // namespace pluvora
