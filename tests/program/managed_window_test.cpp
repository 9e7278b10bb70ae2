// The game's window under a real window manager, which may resize or maximise
// it: the window must come back to 1024 by 768 and show its picture edge to
// edge. The manager is started and stopped here; the display has room for one.
#include "program_harness.h"
#include "window_manager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

void runQuietly(const std::string& command) {
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
}

class ManagedWindow : public ::testing::Test {
protected:
    ManagedWindow() : title_(VANTOREL_DATA_DIR "/images/titlescreen.tga") {}

    void SetUp() override {
        ASSERT_TRUE(title_.loaded());
        ASSERT_TRUE(manager_.managing()) << "openbox did not take charge of the display";
        game_ = std::make_unique<RunningGame>();
        ASSERT_TRUE(game_->hasWindow());
        waitForPicture(*game_, title_);
        const RunningGame::Geometry size = settledGeometry(*game_);
        ASSERT_EQ(size.width, kWindowWidth);
        ASSERT_EQ(size.height, kWindowHeight);
    }

    // The manager's own tool, acting on the game's window by its id.
    std::vector<RunningGame::Geometry> sizesWhileManagerDoes(const std::string& action) const {
        const std::string command =
            "wmctrl -i -r " + std::to_string(game_->window()) + " " + action;
        return game_->sizesWhile([&] { runQuietly(command); });
    }

    // Whatever the manager did, the window ends at its own size, edge to edge.
    void expectWholeTitleAtItsSize(const std::vector<RunningGame::Geometry>& sizes) const {
        if (!sizes.empty()) {
            EXPECT_EQ(sizes.back().width, kWindowWidth);
            EXPECT_EQ(sizes.back().height, kWindowHeight);
        }
        const RunningGame::Geometry size = settledGeometry(*game_);
        EXPECT_EQ(size.width, kWindowWidth);
        EXPECT_EQ(size.height, kWindowHeight);
        const RunningGame::Screenshot shot = waitForPicture(*game_, title_);
        EXPECT_GE(shareMatching(shot, title_), kWholePicture);
        EXPECT_GE(shareMatchingAtTheEdges(shot, title_), kWholePicture);
        EXPECT_TRUE(game_->stillRunning());
    }

    StretchedPicture title_;
    WindowManager manager_;
    std::unique_ptr<RunningGame> game_;
};

} // namespace

TEST_F(ManagedWindow, ResizedByTheManagerItComesBackToItsSize) {
    const std::vector<RunningGame::Geometry> sizes = sizesWhileManagerDoes("-e 0,-1,-1,640,480");
    expectWholeTitleAtItsSize(sizes);
}

TEST_F(ManagedWindow, MaximisedByTheManagerItComesBackToItsSize) {
    const std::vector<RunningGame::Geometry> sizes =
        sizesWhileManagerDoes("-b add,maximized_vert,maximized_horz");
    expectWholeTitleAtItsSize(sizes);
}

// On the tests' 1280 by 1024 screen a window of 1.5 times the field does not
// fit: the largest that does must leave room for the frame and title bar the
// manager puts round it, or the bottom of the field ends off the screen.
TEST(ManagedScaledWindow, FitsTheScreenWithItsFrameRoundIt) {
    constexpr int kScreenWidth = 1280;
    constexpr int kScreenHeight = 1024;
    const WindowManager manager;
    ASSERT_TRUE(manager.managing()) << "openbox did not take charge of the display";
    RunningGame::Options options;
    options.arguments = {"--scale", "1.5", "--mute", "--no-records"};
    const RunningGame game(options);
    ASSERT_TRUE(game.hasWindow());
    RunningGame::Placement placed;
    ASSERT_TRUE(waitUntil([&] {
        placed = game.placement();
        return placed.frameTop > 0 && placed.width > 0;
    })) << "the manager put no frame round the window";
    EXPECT_EQ(placed.width * 3, placed.height * 4) << placed.width << " by " << placed.height;
    EXPECT_GE(placed.width, kWindowWidth) << "as large as fits, larger than the usual window";
    EXPECT_GE(placed.x - placed.frameLeft, 0);
    EXPECT_GE(placed.y - placed.frameTop, 0) << "the title bar is off the screen";
    EXPECT_LE(placed.x + placed.width + placed.frameRight, kScreenWidth);
    EXPECT_LE(placed.y + placed.height + placed.frameBottom, kScreenHeight)
        << "the bottom of the field is off the screen";
}
