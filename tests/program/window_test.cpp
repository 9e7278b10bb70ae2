#include "program_harness.h"

#include <gtest/gtest.h>

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
    ASSERT_GE(sizes.size(), 2u);
    EXPECT_EQ(sizes.front().width, 640);
    EXPECT_EQ(sizes.front().height, 480);
    EXPECT_EQ(sizes.back().width, kWindowWidth);
    EXPECT_EQ(sizes.back().height, kWindowHeight);
    const RunningGame::Geometry size = settledGeometry(game);
    EXPECT_EQ(size.width, kWindowWidth);
    EXPECT_TRUE(game.stillRunning());
}
