#include "app/window_size.h"

#include <gtest/gtest.h>

TEST(WindowSize, ScalesTheDefaultWindowAndKeepsItFourByThree) {
    struct Case {
        double scale;
        int width, height;
    };
    const Case cases[] = {{0.0, 1024, 768}, {1.0, 1024, 768},  {1.5, 1536, 1152},
                          {0.5, 512, 384},  {4.0, 4096, 3072}, {1.3, 1332, 999}};
    for (const Case& c : cases) {
        const WindowSize size = windowSizeAtScale(c.scale);
        EXPECT_EQ(size.width, c.width) << c.scale;
        EXPECT_EQ(size.height, c.height) << c.scale;
    }
}

TEST(WindowSize, LargestFieldWithinIsFourByThree) {
    struct Case {
        int roomWidth, roomHeight;
        int width, height;
    };
    const Case cases[] = {{1024, 768, 1024, 768},
                          {1280, 1024, 1280, 960},
                          {1920, 1080, 1440, 1080},
                          {1366, 736, 980, 735},
                          {3, 2, 0, 0}};
    for (const Case& c : cases) {
        const WindowSize size = largestFieldWithin(c.roomWidth, c.roomHeight);
        EXPECT_EQ(size.width, c.width) << c.roomWidth << " by " << c.roomHeight;
        EXPECT_EQ(size.height, c.height) << c.roomWidth << " by " << c.roomHeight;
        EXPECT_TRUE(fitsWithin(size, c.roomWidth, c.roomHeight));
    }
    EXPECT_FALSE(fitsWithin(WindowSize{1536, 1152}, 1280, 1024));
}
