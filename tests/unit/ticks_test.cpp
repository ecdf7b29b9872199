#include "base/ticks.h"

#include <gtest/gtest.h>

// A machine up for 49.7 days wraps its millisecond counter; the waits must not notice.
TEST(Ticks, PeriodsAndWaitsAcrossTheWrap) {
    for (const uint32_t start : {0u, 0x7FFFFFF0u, 0xFFFFFFF0u}) {
        PeriodicTick pump;
        EXPECT_TRUE(pump.Due(start, 25)) << start;  // at the first chance
        EXPECT_FALSE(pump.Due(start + 24, 25)) << start;
        EXPECT_TRUE(pump.Due(start + 25, 25)) << start;
        EXPECT_FALSE(pump.Due(start + 49, 25)) << start;
        EXPECT_TRUE(pump.Due(start + 60, 25)) << start;
        EXPECT_FALSE(TicksPassed(start + 249, start, 250)) << start;
        EXPECT_TRUE(TicksPassed(start + 250, start, 250)) << start;
    }
}
