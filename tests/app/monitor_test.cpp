#include "app/monitor.h"

#include <X11/extensions/randr.h>
#include <gtest/gtest.h>

TEST(Monitor, RefreshRateComesFromTheModeTimings) {
    struct Case {
        unsigned long dotClock;
        unsigned int hTotal, vTotal;
        unsigned long flags;
        double hz;
    };
    const Case cases[] = {
        {148500000, 2200, 1125, 0, 60.0},             // 1920 by 1080 at 60 Hz
        {148500000, 2200, 1125, RR_Interlace, 120.0}, // half the lines per picture
        {25175000, 800, 525, RR_DoubleScan, 29.97},   // every line twice
        {0, 1280, 1024, 0, 0.0},                      // Xvfb: no timings
        {148500000, 0, 1125, 0, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(refreshRateOfMode(c.dotClock, c.hTotal, c.vTotal, c.flags), c.hz, 0.01)
            << c.dotClock << " " << c.flags;
    }
}

TEST(Monitor, XvfbHasRoomButNoKnownRefresh) {
    const Monitor monitor = monitorAt(100, 100);
    EXPECT_GT(monitor.width, 0);
    EXPECT_GT(monitor.height, 0);
    EXPECT_EQ(monitor.refreshHz, 0.0);
}
