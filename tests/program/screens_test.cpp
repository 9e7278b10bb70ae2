#include "running_game.h"
#include "stretched_picture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace {

constexpr int kStep = 16;              // spacing of the sample grid in window pixels
constexpr double kWholePicture = 0.97; // share of samples that must match a full picture
// Later the bodies and the planet counter are drawn over the backdrop.
constexpr double kMostOfTheBackdrop = 0.85;

// Mean difference per channel over the sample grid: lowest for the picture shown.
double meanError(const RunningGame::Screenshot& shot, const StretchedPicture& picture) {
    double sum = 0.0;
    int samples = 0;
    for (int y = kStep / 2; y < shot.height; y += kStep) {
        for (int x = kStep / 2; x < shot.width; x += kStep) {
            const std::uint8_t* pixel = shot.at(x, y);
            const std::array<int, 3> expected = picture.at(x, y, shot.width, shot.height);
            for (int channel = 0; channel < 3; ++channel) {
                sum += std::abs(pixel[channel] - expected[channel]);
                ++samples;
            }
        }
    }
    return samples ? sum / samples : 255.0;
}

class Screens : public ::testing::Test {
protected:
    Screens()
        : title_(VANTOREL_DATA_DIR "/images/titlescreen.tga"),
          instructions_(VANTOREL_DATA_DIR "/images/instructions.tga"),
          backdrop_(VANTOREL_DATA_DIR "/images/background.tga") {}

    void SetUp() override {
        ASSERT_TRUE(title_.loaded());
        ASSERT_TRUE(instructions_.loaded());
        ASSERT_TRUE(backdrop_.loaded());
        ASSERT_TRUE(game_.hasWindow());
    }

    StretchedPicture title_;
    StretchedPicture instructions_;
    StretchedPicture backdrop_;
    RunningGame game_;
};

} // namespace

TEST_F(Screens, TitleFillsTheWindowEdgeToEdge) {
    const RunningGame::Screenshot shot = waitForPicture(game_, title_, kWholePicture);
    ASSERT_EQ(shot.width, 1024);
    ASSERT_EQ(shot.height, 768);
    EXPECT_GE(shareMatching(shot, title_), kWholePicture);
    EXPECT_GE(shareMatchingAtTheEdges(shot, title_), kWholePicture);
}

TEST_F(Screens, PressesLeadThroughTheInstructionsToThePlayField) {
    const RunningGame::Screenshot title = waitForPicture(game_, title_, kWholePicture);
    ASSERT_GE(shareMatching(title, title_), kWholePicture);

    game_.click(512, 384);
    game_.screenshotChangedFrom(title);
    const RunningGame::Screenshot instructions =
        waitForPicture(game_, instructions_, kWholePicture);
    EXPECT_GE(shareMatching(instructions, instructions_), kWholePicture);
    EXPECT_GE(shareMatchingAtTheEdges(instructions, instructions_), kWholePicture);
    EXPECT_LT(meanError(instructions, instructions_), meanError(instructions, title_));

    game_.click(300, 600);
    game_.screenshotChangedFrom(instructions);
    const RunningGame::Screenshot play = waitForPicture(game_, backdrop_, kMostOfTheBackdrop);
    EXPECT_GE(shareMatching(play, backdrop_), kMostOfTheBackdrop);
    EXPECT_LT(meanError(play, backdrop_), meanError(play, instructions_));
}
