#include "app/window_size.h"

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
