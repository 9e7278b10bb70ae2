#include "platform/desktop/monitor.h"

#include <X11/extensions/randr.h>
#include <gtest/gtest.h>

TEST(Monitor, RefreshRateComesFromTheModeTimings) {
    const double cases[][5] = {
        // dot clock, total pixels a line, total lines, flags, pictures a second
        {148500000, 2200, 1125, 0, 60.0},             // 1920 by 1080 at 60 Hz
        {148500000, 2200, 1125, RR_Interlace, 120.0}, // half the lines a picture
        {25175000, 800, 525, RR_DoubleScan, 29.97},   // every line twice
        {0, 1280, 1024, 0, 0.0},                      // Xvfb's: no timings
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(
            refreshRateOfMode(static_cast<unsigned long>(c[0]), static_cast<unsigned int>(c[1]),
                              static_cast<unsigned int>(c[2]), static_cast<unsigned long>(c[3])),
            c[4], 0.01)
            << c[0];
    }
}
