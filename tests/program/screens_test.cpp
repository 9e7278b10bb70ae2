#include "program_harness.h"

#include <gtest/gtest.h>

namespace {

class Screens : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pictures_.title.loaded());
        ASSERT_TRUE(pictures_.instructions.loaded());
        ASSERT_TRUE(pictures_.backdrop.loaded());
        ASSERT_TRUE(game_.hasWindow());
    }

    const ScreenPictures pictures_;
    RunningGame game_;
};

} // namespace

TEST_F(Screens, TitleFillsTheWindowEdgeToEdge) {
    const RunningGame::Screenshot shot = waitForTitle(game_, pictures_);
    ASSERT_EQ(shot.width, kWindowWidth);
    ASSERT_EQ(shot.height, kWindowHeight);
    EXPECT_GE(shareMatching(shot, pictures_.title), kWholePicture);
    EXPECT_GE(shareMatchingAtTheEdges(shot, pictures_.title), kWholePicture);
}

TEST_F(Screens, PressesLeadThroughTheInstructionsToThePlayField) {
    const RunningGame::Screenshot title = waitForTitle(game_, pictures_);
    ASSERT_GE(shareMatching(title, pictures_.title), kWholePicture);

    const RunningGame::Screenshot instructions = pressToInstructions(game_, pictures_);
    EXPECT_GE(shareMatching(instructions, pictures_.instructions), kWholePicture);
    EXPECT_GE(shareMatchingAtTheEdges(instructions, pictures_.instructions), kWholePicture);
    EXPECT_LT(meanError(instructions, pictures_.instructions),
              meanError(instructions, pictures_.title));

    const RunningGame::Screenshot play = pressToPlay(game_, pictures_);
    EXPECT_GE(shareMatching(play, pictures_.backdrop), kMostOfTheBackdrop);
    EXPECT_LT(meanError(play, pictures_.backdrop), meanError(play, pictures_.instructions));
}
