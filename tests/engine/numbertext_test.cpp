#include "engine/io/numbertext.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <vector>
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

namespace {

// formatFixed as first written: through the 15-digit decimal text. The
// fast form must agree with it on every value.
std::string fixedByText(double value, int decimals)
{
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.14e", value);
    std::string s(digits);
    const bool negative = s.front() == '-';
    if (negative)
        s.erase(0, 1);
    const auto e = s.find('e');
    const int exponent = std::stoi(s.substr(e + 1));
    const std::string mantissa = s.substr(0, 1) + s.substr(2, e - 2);
    const int keep = exponent + 1 + decimals;
    std::string kept;
    if (keep <= 0) {
        kept = keep == 0 && mantissa[0] >= '5' ? "1" : "0";
    } else if (keep >= static_cast<int>(mantissa.size())) {
        kept = mantissa + std::string(static_cast<std::size_t>(keep) - mantissa.size(), '0');
    } else {
        kept = mantissa.substr(0, static_cast<std::size_t>(keep));
        if (mantissa[static_cast<std::size_t>(keep)] >= '5') {
            int i = static_cast<int>(kept.size()) - 1;
            while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9')
                kept[static_cast<std::size_t>(i--)] = '0';
            if (i < 0)
                kept.insert(kept.begin(), '1');
            else
                ++kept[static_cast<std::size_t>(i)];
        }
    }
    const auto nz = kept.find_first_not_of('0');
    kept = nz == std::string::npos ? "0" : kept.substr(nz);
    const bool zero = kept == "0";
    if (static_cast<int>(kept.size()) <= decimals)
        kept.insert(0, static_cast<std::size_t>(decimals) + 1 - kept.size(), '0');
    std::string out = negative && !zero ? "-" : "";
    const std::size_t intLen = kept.size() - static_cast<std::size_t>(decimals);
    out += kept.substr(0, intLen);
    if (decimals > 0)
        out += "." + kept.substr(intLen);
    return out;
}

} // namespace

// The data passes format and parse every value; their fast forms are held
// against the general routines over the values weather data produce, unit
// products, ties and the edges of the fast ranges.
TEST(NumberText, FastFormsAgreeWithTheGeneralRoutines)
{
    std::vector<double> values = {0.0, -0.0, 1e-5, 9.9999e-6, 1e14, 99999999999999.5, 0.05, 0.5, 0.25 * 25.4,
                                  -6.35, 72.5, 999999999999999.0, 12.345, 0.0049, 9.96, 99999.95};
    std::uint64_t state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state >> 11;
    };
    for (int i = 0; i < 30000; ++i) {
        const double tenths = static_cast<double>(static_cast<long long>(next() % 400000) - 200000);
        values.push_back(tenths / 10.0);
        values.push_back((tenths / 100.0) * 25.4);
        values.push_back((tenths / 10.0 - 32.0) / 1.8);
        values.push_back((tenths / 10.0) * 0.0864);
        values.push_back(static_cast<double>(next()) / static_cast<double>(1ULL << (next() % 60)));
    }
    for (double v : values) {
        for (int decimals = 0; decimals <= 4; ++decimals)
            ASSERT_EQ(formatFixed(v, decimals), fixedByText(v, decimals)) << v << " " << decimals;
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 3).ptr;
        double expected = 0;
        std::from_chars(text, end, expected);
        ASSERT_EQ(parseDecimal(std::string_view(text, static_cast<std::size_t>(end - text))), expected) << text;
    }
    EXPECT_EQ(parseDecimal("-0"), -0.0);
    EXPECT_EQ(parseDecimal("00012.50"), 12.5);
    EXPECT_EQ(parseDecimal("0.1234567890123456789"), 0.1234567890123456789);
    EXPECT_EQ(parseDecimal("12345678901234567890"), 12345678901234567890.0);
}
