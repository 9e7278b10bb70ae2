#include "program_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(Window, OpensTitledAtItsFixedSize) {
    RunningGame game;
    ASSERT_TRUE(game.hasWindow());
    EXPECT_EQ(game.title(), "Vantorel");
    const RunningGame::Geometry size = settledGeometry(game);
    EXPECT_EQ(size.width, kWindowWidth);
    EXPECT_EQ(size.height, kWindowHeight);
}

TEST(Window, SnapsBackAfterAResize) {
    RunningGame game;
    ASSERT_TRUE(game.hasWindow());
    settledGeometry(game);
    const std::vector<RunningGame::Geometry> sizes = game.sizesAfterResize(640, 480);
    // On a busy machine a configure of the window's own start may still come first.
    const auto resized = std::find_if(sizes.begin(), sizes.end(), [](const auto& size) {
        return size.width == 640 && size.height == 480;
    });
    ASSERT_NE(resized, sizes.end()) << "the window was never resized";
    ASSERT_NE(resized + 1, sizes.end()) << "the window did not snap back";
    EXPECT_EQ(sizes.back().width, kWindowWidth);
    EXPECT_EQ(sizes.back().height, kWindowHeight);
    const RunningGame::Geometry size = settledGeometry(game);
    EXPECT_EQ(size.width, kWindowWidth);
    EXPECT_TRUE(game.stillRunning());
}
