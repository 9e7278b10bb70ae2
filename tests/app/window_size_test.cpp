#include "app/window_size.h"

#include "app/monitor.h"

#include <gtest/gtest.h>

TEST(WindowSize, ScaledAndFittedSizesAreFourByThree) {
    const double scaled[][3] = {
        {0.0, 1024, 768}, {1.5, 1536, 1152}, {0.5, 512, 384}, {1.3, 1332, 999}};
    for (const auto& c : scaled) {
        const WindowSize size = windowSizeAtScale(c[0]);
        EXPECT_EQ(size.width, c[1]) << c[0];
        EXPECT_EQ(size.height, c[2]) << c[0];
    }
    const int fitted[][4] = {{1024, 768, 1024, 768},
                             {1280, 1024, 1280, 960},
                             {1920, 1080, 1440, 1080},
                             {1366, 736, 980, 735}};
    for (const auto& c : fitted) {
        const WindowSize size = largestFieldWithin(c[0], c[1]);
        EXPECT_EQ(size.width, c[2]) << c[0] << " by " << c[1];
        EXPECT_EQ(size.height, c[3]) << c[0] << " by " << c[1];
    }
    EXPECT_FALSE(fitsWithin(WindowSize{1536, 1152}, 1280, 1024));
}

// The window and the frame round it stay within the monitor's room, 4:3.
TEST(WindowSize, PlacedWithItsFrameWithinTheRoom) {
    const FrameExtents openbox{1, 1, 20, 1};
    const struct {
        const char* name;
        WindowSize wanted;
        Monitor monitor;
        WindowPlacement placed;
    } cases[] = {
        {"too large, framed",
         {1536, 1152},
         {0, 0, 1280, 1024, 60.0, openbox},
         {{1276, 957}, 2, 46}},
        {"too large, bare", {1536, 1152}, {0, 0, 1280, 1024, 60.0, {}}, {{1280, 960}, 0, 64}},
        {"a panel above, framed",
         {1024, 768},
         {0, 30, 1280, 780, 60.0, openbox},
         {{1012, 759}, 100, 30}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const WindowPlacement placed = placeWindow(c.wanted, c.monitor, 100, 100);
        EXPECT_EQ(placed.size.width, c.placed.size.width);
        EXPECT_EQ(placed.size.height, c.placed.size.height);
        EXPECT_EQ(placed.x, c.placed.x);
        EXPECT_EQ(placed.y, c.placed.y);
    }
}
