#include "engine/error.h"
#include "engine/formats/ghcndailyfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace pluvora {
namespace {

using Values = std::vector<std::optional<double>>;

// The month-and-element lines become 1,096 days of three years, each with
// the three elements asked for; values compared with the file as printed.
TEST(GhcnDaily, ReadsEveryDayOfEveryMonth)
{
    std::ifstream in(std::filesystem::path(PLUVORA_TEST_DATA) / "samples" / "ghcnd_USW00003870_1983-1985.dly");
    ASSERT_TRUE(in);
    GhcnDailyReader reader(in, {"TMAX", "TMIN", "PRCP"});
    std::vector<GhcnDay> days;
    while (auto day = reader.next())
        days.push_back(*day);
    ASSERT_EQ(days.size(), 1096u);
    EXPECT_EQ(days.front().station, "USW00003870");
    EXPECT_EQ((std::vector<int>{days[0].year, days[0].month, days[0].day}), (std::vector<int>{1983, 1, 1}));
    EXPECT_EQ(days[0].values, (Values{83, 44, 15}));
    EXPECT_EQ(days[1].values, (Values{78, 61, 160}));
    EXPECT_EQ(days[8].values[2], 0.0); // "0T": a trace
    EXPECT_EQ(days[8].flags[2], 'T');
    EXPECT_EQ(days[8].flags[0], ' ');
    // February of a common year has 28 days; the 29th to 31st are no days.
    EXPECT_EQ((std::vector<int>{days[59].month, days[59].day}), (std::vector<int>{3, 1}));
    const GhcnDay& last = days.back();
    EXPECT_EQ((std::vector<int>{last.year, last.month, last.day}), (std::vector<int>{1985, 12, 31}));
    EXPECT_EQ(last.values, (Values{78, -39, 140}));
}

TEST(GhcnDaily, MissingValuesElementsAndFaults)
{
    std::string line = "USW00003870198302TMAX";
    for (int d = 1; d <= 31; ++d)
        line += d == 2 ? "-9999   " : "  100  0";
    std::istringstream in(line + "\n");
    GhcnDailyReader reader(in, {"TMAX", "SNOW"});
    const auto first = reader.next();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->values, (Values{100, std::nullopt}));
    EXPECT_EQ(reader.next()->values[0], std::nullopt);
    int count = 2;
    while (reader.next())
        ++count;
    EXPECT_EQ(count, 28);
    std::istringstream bad("USW00003870198313TMAX   10\n");
    GhcnDailyReader badReader(bad, {"TMAX"});
    EXPECT_THROW(badReader.next(), Error);
}

} // namespace
} // namespace pluvora
