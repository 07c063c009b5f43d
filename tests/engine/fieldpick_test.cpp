#include "engine/table/fieldpick.h"

#include <gtest/gtest.h>

#include <string>

namespace pluvora {
namespace {

DataLayout comma()
{
    DataLayout layout;
    layout.fields = FieldSeparator::Comma;
    return layout;
}

DataLayout fixed(std::vector<int> ends)
{
    DataLayout layout;
    layout.fields = FieldSeparator::Fixed;
    layout.fieldEnds = std::move(ends);
    return layout;
}

TEST(FieldPick, ReadsNumbersAndRangesInTheGivenOrder)
{
    EXPECT_EQ(parseFieldPick("1-5,18,22")->fields, (std::vector<int>{1, 2, 3, 4, 5, 18, 22}));
    EXPECT_EQ(parseFieldPick("3,1,2-2")->fields, (std::vector<int>{3, 1, 2}));
    for (const char* bad : {"", "0", "5-3", "1,,2", "a", "1-", "-2", "2.5", "1-99999"})
        EXPECT_FALSE(parseFieldPick(bad)) << bad;
}

struct PickCase {
    const char* pick;
    const char* row;
    const char* picked;
    DataLayout layout = {};
};

class PickedRows : public ::testing::TestWithParam<PickCase> {};

TEST_P(PickedRows, KeepTheFieldsARunWouldRead)
{
    const auto& c = GetParam();
    std::string out;
    pickFields(c.row, *parseFieldPick(c.pick), c.layout, out);
    EXPECT_EQ(out, c.picked);
}

INSTANTIATE_TEST_SUITE_P(
    FieldPick, PickedRows,
    ::testing::Values(
        // Fields counted as cut and awk count them: a date with slashes is
        // one field, and so is a word among the numbers.
        PickCase{"17,2,3,5,13",
                 "20240101     1  31.9   0  16.1   0    0.0   0   7.0  25  32.0   42  14.8   0   31.3   80.9  1/01/2024",
                 "1/01/2024\t1\t31.9\t16.1\t14.8"},
        PickCase{"1,3,4", "1995 M 29.3 23.0*", "1995\t29.3\t23.0*"},
        PickCase{"1,3", "2015,04,22 NO RECORD", "2015,04,22\tRECORD"},
        PickCase{"2,9", "1 2 3", "2"}, PickCase{"1", "", ""},
        // With a separator an empty field is a field, and a quoted separator
        // is text.
        PickCase{"4,1,2", "\"2014-01-04\",\"a,b\",,\"-26.0\"", "\"-26.0\",\"2014-01-04\",\"a,b\"", comma()},
        PickCase{"3,1", "  260,19930102,     ,  -38", "     ,  260", comma()},
        // Fixed widths keep each field's width.
        PickCase{"3,1", "21032  10.4   8.1", "   8.121032", fixed({5, 11, 17})},
        PickCase{"2,4", "21032  10.4", "  10.4", fixed({5, 11, 17})}));

TEST(FieldPick, FixedWidthsEndWhereThePickedFieldsDo)
{
    EXPECT_EQ(pickedFieldEnds(fixed({5, 11, 17}), *parseFieldPick("3,1")), (std::vector<int>{6, 11}));
}

} // namespace
} // namespace pluvora
