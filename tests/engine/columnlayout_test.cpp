#include "engine/columns/columnlayout.h"

#include <gtest/gtest.h>

using namespace pluvora;

struct LayoutCase {
    int position;
    int width;
    int pitch;
    int firstLabel; // relative to the first box
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << "position " << c.position; }

class ColumnLayoutSpacer : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ColumnLayoutSpacer, WidthPitchAndLabels)
{
    const auto c = GetParam();
    const auto layout = columnLayout(c.position, 100);
    EXPECT_EQ(layout.width, c.width);
    EXPECT_EQ(layout.boxLeft[0], 100);
    for (std::size_t i = 1; i < layout.boxLeft.size(); ++i)
        EXPECT_EQ(layout.boxLeft[i] - layout.boxLeft[i - 1], c.pitch) << "box " << i + 1;
    for (std::size_t i = 0; i < layout.labelLeft.size(); ++i)
        EXPECT_EQ(layout.labelLeft[i] - layout.boxLeft[i], c.firstLabel) << "label " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(Positions, ColumnLayoutSpacer,
                         ::testing::Values(LayoutCase{-20, 42, 36, 9},
                                           LayoutCase{0, 62, 56, 19},
                                           LayoutCase{1, 63, 57, 19}, // half width rounds down
                                           LayoutCase{100, 162, 156, 69}));

TEST(ColumnLayout, LastBoxAtStartUp)
{
    const auto layout = columnLayout(0, 8);
    EXPECT_EQ(layout.boxLeft[11], 8 + 11 * 56);
    EXPECT_EQ(layout.labelLeft[11], 8 + 11 * 56 + 31 - 12);
}
