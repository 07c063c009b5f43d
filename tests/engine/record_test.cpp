#include "engine/record/record.h"
#include "engine/stage/recordreader.h"

#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace pluvora {
namespace {

ColumnSpec specOf(std::vector<int> codes)
{
    ColumnSpec spec;
    spec.columnVariable.fill(kUnselected);
    for (std::size_t i = 0; i < codes.size(); ++i)
        spec.columnVariable[i + 1] = codes[i];
    return spec;
}

struct YydoyCase {
    double value;
    int year;
    int doy;
};

class YydoyDecoding : public ::testing::TestWithParam<YydoyCase> {};

TEST_P(YydoyDecoding, GivesYearAndDayOfYear)
{
    const auto c = GetParam();
    Record record;
    assignValue(record, specOf({kYydoy}), 1, c.value);
    EXPECT_EQ(record.year, c.year);
    EXPECT_EQ(record.doy, c.doy);
    EXPECT_TRUE(record.has(kYear));
    EXPECT_TRUE(record.has(kDoy));
}

INSTANTIATE_TEST_SUITE_P(Record, YydoyDecoding,
                         ::testing::Values(YydoyCase{98045, 1998, 45}, YydoyCase{20123, 2020, 123},
                                           YydoyCase{21001, 1921, 1},
                                           YydoyCase{5123, 2005, 123}, // leading zero lost
                                           YydoyCase{99365, 1999, 365}, YydoyCase{366, 2000, 366},
                                           // Seven digits: a four-digit year and its day.
                                           YydoyCase{1996001, 1996, 1}, YydoyCase{2023365.4, 2023, 365},
                                           YydoyCase{9999366, 9999, 366},
                                           // Past the int range the year saturates, never overflows.
                                           YydoyCase{2147481747000, 2147483647, 0},
                                           YydoyCase{2147481748000, 2147483647, 0},
                                           YydoyCase{1e300, 2147483647, 0},
                                           YydoyCase{-1e300, -2147483647 - 1, 0}));

struct WholeCase {
    int code;
    double value;
    int expected;
};

class WholeNumberColumns : public ::testing::TestWithParam<WholeCase> {};

TEST_P(WholeNumberColumns, RoundHalvesToEven)
{
    const auto c = GetParam();
    Record record;
    assignValue(record, specOf({c.code}), 1, c.value);
    const int stored = c.code == kYear ? record.year
                       : c.code == kMonth ? record.month
                       : c.code == kDay   ? record.day
                                          : record.doy;
    EXPECT_EQ(stored, c.expected);
    EXPECT_TRUE(record.has(c.code));
}

INSTANTIATE_TEST_SUITE_P(Record, WholeNumberColumns,
                         ::testing::Values(WholeCase{kYear, 1997.5, 1998}, WholeCase{kYear, 1996.5, 1996},
                                           WholeCase{kYear, 2000.0, 2000}, WholeCase{kMonth, 2.5, 2},
                                           WholeCase{kDay, 3.5, 4}, WholeCase{kDoy, 45.4, 45},
                                           // Far out of range saturates rather than overflowing.
                                           WholeCase{kYear, 1e20, std::numeric_limits<int>::max()},
                                           WholeCase{kDoy, -1e20, std::numeric_limits<int>::min()}));

TEST(Record, MonthWithoutDayLeavesDayClearAndZero)
{
    Record record;
    assignValue(record, specOf({kMonth}), 1, 7);
    EXPECT_TRUE(record.has(kMonth));
    EXPECT_FALSE(record.has(kDay));
    EXPECT_EQ(record.day, 0);
}

TEST(Record, UnselectedAndOutOfRangeColumnsAreIgnored)
{
    Record record;
    auto spec = specOf({kUnselected, 42});
    assignValue(record, spec, 1, 5);
    assignValue(record, spec, 2, 5);
    assignValue(record, spec, 0, 5);
    assignValue(record, spec, 13, 5);
    for (int code = 1; code <= 15; ++code)
        EXPECT_FALSE(record.has(code));
}

struct FactorCase {
    double (*conversion)(std::string_view);
    const char* unit;
    double factor;
};

class UnitFactors : public ::testing::TestWithParam<FactorCase> {};

TEST_P(UnitFactors, AreExactAndCaseSensitive)
{
    const auto c = GetParam();
    EXPECT_EQ(c.conversion(c.unit), c.factor) << c.unit;
}

INSTANTIATE_TEST_SUITE_P(
    Record, UnitFactors,
    ::testing::Values(FactorCase{conversionUnitSolar, "MJ/m2/d", 1.0},
                      FactorCase{conversionUnitSolar, "Langley", 0.04186},
                      FactorCase{conversionUnitSolar, "Cal/cm2/d", 0.041868},
                      FactorCase{conversionUnitSolar, "W/m2", 0.0864},
                      FactorCase{conversionUnitSolar, "", 0.0},
                      FactorCase{conversionUnitForWater, "mm", 1.0},
                      FactorCase{conversionUnitForWater, "cm", 10.0},
                      FactorCase{conversionUnitForWater, "inch", 25.4},
                      FactorCase{conversionUnitForWater, "mm ", 0.0},
                      FactorCase{conversionUnitForWater, "MM", 0.0},
                      FactorCase{conversionUnitForWater, "", 0.0},
                      FactorCase{conversionUnitWS, "km/hr", 0.2777777777777778},
                      FactorCase{conversionUnitWS, "mile/hr", 0.4469444444444444},
                      FactorCase{conversionUnitWS, "m/s", 1.0},
                      FactorCase{conversionUnitWS, "mph", 0.0}));

struct DateCase {
    int year, month, day;
    std::optional<int> doy;
};

class DayOfYear : public ::testing::TestWithParam<DateCase> {};

TEST_P(DayOfYear, CountsFromFirstJanuary)
{
    const auto c = GetParam();
    EXPECT_EQ(dayOfYear(c.year, c.month, c.day), c.doy) << c.year << "-" << c.month << "-" << c.day;
}

INSTANTIATE_TEST_SUITE_P(
    Record, DayOfYear,
    ::testing::Values(DateCase{2000, 3, 1, 61}, DateCase{2001, 3, 1, 60}, DateCase{1900, 3, 1, 60},
                      DateCase{2000, 1, 1, 1}, DateCase{2000, 12, 31, 366}, DateCase{2001, 12, 31, 365},
                      DateCase{2000, 2, 29, 60}, DateCase{2001, 2, 29, std::nullopt},
                      DateCase{2001, 2, 30, std::nullopt}, DateCase{2001, 13, 1, std::nullopt},
                      DateCase{2001, 4, 31, std::nullopt}, DateCase{2001, 0, 1, std::nullopt},
                      DateCase{0, 1, 1, std::nullopt}));

class RecordReading : public ::testing::Test {
protected:
    test::TempFolder temp;
    AppFolder folder{temp.path()};
    test::RecordingFeedback feedback;
    RunContext run{folder, feedback};

    std::vector<std::vector<double>> readAll(std::string_view text, std::vector<int> codes)
    {
        run.columns = specOf(codes);
        run.columnCount = static_cast<int>(codes.size());
        TextReader reader(temp.write("in.txt", text));
        std::vector<std::vector<double>> rows;
        while (readRecord(reader, run))
            rows.push_back({static_cast<double>(run.record.year), run.record.tmax, run.record.tmin});
        return rows;
    }
};

TEST_F(RecordReading, FirstColumnZeroIsARecordAndEndOfFileEndsTheData)
{
    const auto rows = readAll("0 1 2\r\n2001 3 4 extra ignored\r\n", {kYear, kTmax, kTmin});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(rows[1], (std::vector<double>{2001, 3, 4}));
}

TEST_F(RecordReading, ShortLineBorrowsFromTheNextAndEmptyLinesAreSkipped)
{
    const auto rows = readAll("2001 3\r\n\r\n4 9 9\r\n2002 5 6\r\n", {kYear, kTmax, kTmin});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<double>{2001, 3, 4}));
    EXPECT_EQ(rows[1], (std::vector<double>{2002, 5, 6}));
}

TEST_F(RecordReading, HeaderRowsAreCopiedUpToTheEndOfAShortFile)
{
    const auto in = temp.write("in.txt", "first line\nsecond\r\n");
    const auto out = temp.path() / "out.txt";
    {
        TextReader reader(in);
        TextWriter writer(out);
        copyHeaderRows(reader, writer, 3);
        writer.close();
    }
    EXPECT_EQ(test::readFile(out), "first line\r\nsecond\r\n");
}

} // namespace
} // namespace pluvora
