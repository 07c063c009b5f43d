// The suggestion's stages on their own: dates told by their values, and
// units told by what a series of days can hold.

#include "engine/suggest/datevalues.h"
#include "engine/suggest/suggestfields.h"
#include "engine/suggest/unitevidence.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace pluvora::suggest;

TEST(SuggestStages, DatesAreToldByTheirValues)
{
    struct Case {
        std::vector<std::string_view> tokens;
        std::optional<std::string> format;
    };
    const Case cases[] = {
        {{"2019-01-01", "2019-01-02"}, "YYYY-MM-DD"},
        {{"\"2019-01-01\"", "\"2019-01-02\""}, "YYYY-MM-DD"},
        {{"2019-01-01T00:00", "2019-01-02 12:00"}, "YYYY-MM-DD"},
        {{"2020/06/01", "2020/06/02"}, "YYYY/MM/DD"},
        {{"19930101", "19930102"}, "YYYYMMDD"},
        {{"2003001", "2003002"}, "YYYYDDD"},
        // Day and month told apart by the one that counts the days.
        {{"1/01/2024", "2/01/2024", "3/01/2024"}, "DD/MM/YYYY"},
        {{"01/30/2024", "01/31/2024"}, "MM/DD/YYYY"},
        {{"01.01.1991", "02.01.1991"}, "DD.MM.YYYY"},
        {{"2019-02-29"}, std::nullopt},
        {{"2019-01-01", "12.5"}, std::nullopt},
        // Names of months and days of the year, as the run reads them.
        {{"01-jan-2004", "02-jan-2004"}, "DD-MON-YYYY"},
        {{"\"1 Jan 2022\"", "\"2 Jan 2022\""}, "DD MON YYYY"},
        {{"2003-001", "2003-002"}, "YYYY-DDD"},
        {{"01-xyz-2004"}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dateFormatOf(c.tokens), c.format) << c.tokens.front();
}

TEST(SuggestStages, UnitsFitWhatASeriesOfDaysCanHold)
{
    const auto series = [](double value, double other, int days) {
        FieldValues v;
        for (int d = 0; d < days; ++d) {
            v.numbers.push_back(d % 4 == 0 ? other : value);
            v.numberLines.push_back(d);
        }
        return v;
    };
    // 30 MJ/m2 days fit MJ; as W/m2 the sunniest days would hold 2.6 MJ.
    EXPECT_TRUE(fits(series(30, 10, 60), "Solar", "MJ/m2/d"));
    EXPECT_FALSE(fits(series(30, 10, 60), "Solar", "W/m2"));
    // Daily means in W/m2 put MJ far above the top of the atmosphere.
    EXPECT_FALSE(fits(series(250, 90, 60), "Solar", "MJ/m2/d"));
    EXPECT_TRUE(fits(series(250, 90, 60), "Solar", "W/m2"));
    // Rain is never below 0 but for the tenths' trace code, and has dry days.
    EXPECT_FALSE(fits(series(2.5, -3, 60), "Precip", "mm"));
    EXPECT_TRUE(fits(series(25, -1, 60), "Precip", "0.1 mm"));
    EXPECT_FALSE(fits(series(4.2, 1.3, 60), "Precip", "mm")) << "no dry day in two months";
    EXPECT_TRUE(fits(series(0, 4.2, 60), "Precip", "mm"));
    // Tenths are whole numbers.
    EXPECT_FALSE(fits(series(12.5, 3, 60), "T-max", "0.1 oC"));
}

TEST(SuggestStages, FieldsSplitAsTheirSeparatorSays)
{
    EXPECT_EQ(splitFields("  1982  1 -3.5  ", kBlanks), (std::vector<std::string_view>{"1982", "1", "-3.5"}));
    EXPECT_EQ(splitFields("\"a,b\", 2 ,,3", ','), (std::vector<std::string_view>{"a,b", "2", "", "3"}));
    EXPECT_EQ(splitFixed("  1982-3.50-10.2", {6, 11, 16}), (std::vector<std::string_view>{"1982", "-3.50", "-10.2"}));
    EXPECT_TRUE(isDecimalCommaNumber("-11,5"));
    EXPECT_FALSE(isDecimalCommaNumber("2000,1,1"));
}
