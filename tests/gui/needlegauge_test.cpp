#include "gui/needlegauge.h"

#include <gtest/gtest.h>

TEST(NeedleGauge, MillionTicksKeepCountingModuloTheMaximum)
{
    NeedleGauge gauge;
    EXPECT_EQ(gauge.objectName(), "Gauge1");
    EXPECT_TRUE(gauge.isHidden());
    gauge.show();
    for (int i = 0; i < 1'000'123; ++i)
        gauge.gaugeDisplay();
    EXPECT_EQ(gauge.position(), 123);
    gauge.setPosition(999);
    gauge.gaugeDisplay();
    EXPECT_EQ(gauge.position(), 0);
}
