#include "platform/desktop/window_placement.h"

#include "platform/desktop/monitor.h"

#include <gtest/gtest.h>

// The window and the frame round it stay within the monitor's room, 4:3.
TEST(WindowPlacement, PlacedWithItsFrameWithinTheRoom) {
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
