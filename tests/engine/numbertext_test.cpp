#include "io/numbertext.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

using namespace pluvora;

TEST(FormatFixed, RoundsHalvesAwayFromZeroOnTheVisibleDecimal)
{
    EXPECT_EQ(formatFixed(12.345, 2), "12.35");
    EXPECT_EQ(formatFixed(300 * 0.04186, 2), "12.56");
    EXPECT_EQ(formatFixed(70.5, 0), "71");
    EXPECT_EQ(formatFixed(71.5, 0), "72");
    EXPECT_EQ(formatFixed(-2.05, 1), "-2.1");
    EXPECT_EQ(formatFixed(0, 2), "0.00");
    EXPECT_EQ(formatFixed(-0.04, 1), "0.0");
    EXPECT_EQ(formatFixed(-0.0, 1), "0.0");
    EXPECT_EQ(formatFixed(0.005, 2), "0.01");
    EXPECT_EQ(formatFixed(0.0049, 2), "0.00");
    EXPECT_EQ(formatFixed(9.96, 1), "10.0");
    EXPECT_EQ(formatFixed(99999.95, 1), "100000.0");
    EXPECT_EQ(formatFixed(1998, 0), "1998");
    EXPECT_EQ(formatFixed(12.0002, 3), "12.000");
    EXPECT_EQ(formatFixed(1e-20, 2), "0.00");
}

TEST(FormatGeneral, ShortestForm)
{
    EXPECT_EQ(formatGeneral(40.5), "40.5");
    EXPECT_EQ(formatGeneral(-96.25), "-96.25");
    EXPECT_EQ(formatGeneral(350), "350");
    EXPECT_EQ(formatGeneral(-0.0), "0");
    EXPECT_EQ(formatGeneral(0.1 + 0.2), "0.3");
}

TEST(ParseDecimal, AcceptsOnlyPlainDecimals)
{
    EXPECT_EQ(parseDecimal("-12.5"), -12.5);
    EXPECT_EQ(parseDecimal("3."), 3.0);
    EXPECT_EQ(parseDecimal(".5"), 0.5);
    EXPECT_FALSE(parseDecimal(""));
    EXPECT_FALSE(parseDecimal("-"));
    EXPECT_FALSE(parseDecimal("1,5"));
    EXPECT_FALSE(parseDecimal("inf"));
    EXPECT_FALSE(parseDecimal("1e5"));
}

struct TypedCase {
    const char* text;
    std::optional<double> value;
};

class ParseTypedNumber : public ::testing::TestWithParam<TypedCase> {};

TEST_P(ParseTypedNumber, OneSyntaxForEveryTypedNumber)
{
    EXPECT_EQ(parseTypedNumber(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseTypedNumber,
    ::testing::Values(TypedCase{" 40.5 ", 40.5}, TypedCase{"\t-5\t", -5.0}, TypedCase{"+4", 4.0},
                      TypedCase{"1e2", 100.0}, TypedCase{"1E+2", 100.0}, TypedCase{"-2.5e-1", -0.25},
                      TypedCase{".5", 0.5}, TypedCase{"-.5", -0.5}, TypedCase{"5.", 5.0},
                      TypedCase{"1e-999", 0.0},
                      // At most one sign, before the digits or the exponent's digits.
                      TypedCase{"+-5", std::nullopt}, TypedCase{"-+5", std::nullopt},
                      TypedCase{"--5", std::nullopt}, TypedCase{"++5", std::nullopt},
                      TypedCase{"1e+-5", std::nullopt}, TypedCase{"5-", std::nullopt},
                      TypedCase{"1e", std::nullopt}, TypedCase{"e5", std::nullopt},
                      TypedCase{".", std::nullopt}, TypedCase{"+", std::nullopt},
                      TypedCase{"4 0", std::nullopt}, TypedCase{"1.2.3", std::nullopt},
                      TypedCase{"abc", std::nullopt}, TypedCase{"", std::nullopt},
                      TypedCase{"nan", std::nullopt}, TypedCase{"inf", std::nullopt},
                      TypedCase{"1e999", std::nullopt}, TypedCase{"0x10", std::nullopt}));

TEST(RoundHalfEven, TiesGoToEven)
{
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-99.5), -100);
    EXPECT_EQ(roundHalfEven(-98.6), -99);
    EXPECT_EQ(roundHalfEven(1997.5), 1998);
    EXPECT_EQ(roundHalfEven(1996.5), 1996);
}

TEST(RoundHalfEven, ValuesBeyondTheRangeStopAtItsEnds)
{
    // A 64-digit token can reach the sign-value comparison.
    EXPECT_EQ(roundHalfEven(1e63), std::numeric_limits<long long>::max());
    EXPECT_EQ(roundHalfEven(-1e63), std::numeric_limits<long long>::min());
    EXPECT_EQ(roundHalfEven(-9999.5), -10000);
}

namespace {

struct DecimalCase {
    const char* text;
    std::optional<double> value;
};

class ParseDecimalTable : public ::testing::TestWithParam<DecimalCase> {};

} // namespace

// What a data token may look like after cleaning, and what it may not.
TEST_P(ParseDecimalTable, ReadsThePlainDecimalForm)
{
    EXPECT_EQ(parseDecimal(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, ParseDecimalTable,
    ::testing::Values(DecimalCase{"0", 0.0}, DecimalCase{"-0", 0.0}, DecimalCase{"00012.50", 12.5},
                      DecimalCase{"-.5", -0.5}, DecimalCase{"5.", 5.0}, DecimalCase{"-99", -99.0},
                      DecimalCase{"1111111111111111111111111111111111111111111111111111111111111111",
                                  1111111111111111111111111111111111111111111111111111111111111111.0},
                      DecimalCase{"0.00000000000000000000000000000000000000000000000000000000000001", 1e-62},
                      DecimalCase{"-.", std::nullopt}, DecimalCase{"1-2", std::nullopt},
                      DecimalCase{"1.2.3", std::nullopt}, DecimalCase{"+4", std::nullopt},
                      DecimalCase{" 1", std::nullopt}, DecimalCase{"1 ", std::nullopt},
                      DecimalCase{"nan", std::nullopt}, DecimalCase{"0x1A", std::nullopt},
                      DecimalCase{"1.5e3", std::nullopt}));

TEST(ParseInteger, WholeNumbersWithinRange)
{
    EXPECT_EQ(parseInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseInteger("-2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(parseInteger("-007"), -7);
    for (const char* bad : {"", "-", "+1", "1.0", "2147483648", " 1", "1e2"})
        EXPECT_FALSE(parseInteger(bad)) << bad;
}

TEST(FormatFixed, ThreeDecimalsAsTheSubstitutionWritesThem)
{
    EXPECT_EQ(formatFixed(25.5, 3), "25.500");
    EXPECT_EQ(formatFixed(0.0005, 3), "0.001");
    EXPECT_EQ(formatFixed(-0.0005, 3), "-0.001");
    EXPECT_EQ(formatFixed(-0.0004, 3), "0.000");
    EXPECT_EQ(formatFixed(1e20, 1), "100000000000000000000.0");
}

TEST(ParseDecimal, OverflowIsNotANumber)
{
    EXPECT_FALSE(parseDecimal("1" + std::string(400, '0')));
    EXPECT_EQ(parseDecimal("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(NumberText, HugeAndTinyDecimalsSaturate)
{
    const std::string huge = "1" + std::string(400, '0');
    EXPECT_FALSE(parseDecimal(huge)); // infinite: not a number a person meant
    const std::string tiny = "-0." + std::string(400, '0') + "1";
    ASSERT_TRUE(parseDecimal(tiny));
    EXPECT_EQ(*parseDecimal(tiny), 0.0);
}
