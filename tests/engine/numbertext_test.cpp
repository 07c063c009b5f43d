#include "io/numbertext.h"

#include <gtest/gtest.h>

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

TEST(ParseTypedNumber, TakesWhatAPersonTypes)
{
    EXPECT_EQ(parseTypedNumber(" 40.5 "), 40.5);
    EXPECT_EQ(parseTypedNumber("+4"), 4.0);
    EXPECT_EQ(parseTypedNumber("1e2"), 100.0);
    EXPECT_FALSE(parseTypedNumber("abc"));
    EXPECT_FALSE(parseTypedNumber(""));
    EXPECT_FALSE(parseTypedNumber("nan"));
}

TEST(RoundHalfEven, TiesGoToEven)
{
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-99.5), -100);
    EXPECT_EQ(roundHalfEven(-98.6), -99);
    EXPECT_EQ(roundHalfEven(1997.5), 1998);
    EXPECT_EQ(roundHalfEven(1996.5), 1996);
}
