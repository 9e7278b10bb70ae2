#include "running_game.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

RunningGame::Geometry settledGeometry(const RunningGame& game, int width, int height) {
    RunningGame::Geometry size = game.geometry();
    for (int attempt = 0; attempt < 100 && (size.width != width || size.height != height);
         ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        size = game.geometry();
    }
    return size;
}

} // namespace

TEST(Window, OpensTitledAtItsFixedSize) {
    RunningGame game;
    ASSERT_TRUE(game.hasWindow());
    EXPECT_EQ(game.title(), "Vantorel");
    const RunningGame::Geometry size = settledGeometry(game, 1024, 768);
    EXPECT_EQ(size.width, 1024);
    EXPECT_EQ(size.height, 768);
}

TEST(Window, SnapsBackAfterAResize) {
    RunningGame game;
    ASSERT_TRUE(game.hasWindow());
    settledGeometry(game, 1024, 768);
    const std::vector<RunningGame::Geometry> sizes = game.sizesAfterResize(640, 480);
    ASSERT_GE(sizes.size(), 2u);
    EXPECT_EQ(sizes.front().width, 640);
    EXPECT_EQ(sizes.front().height, 480);
    EXPECT_EQ(sizes.back().width, 1024);
    EXPECT_EQ(sizes.back().height, 768);
    const RunningGame::Geometry size = settledGeometry(game, 1024, 768);
    EXPECT_EQ(size.width, 1024);
    EXPECT_TRUE(game.stillRunning());
}
