#include "play_field.h"
#include "program_harness.h"
#include "render/tga_image.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// Where the end picture says "Click to play again", in world units.
constexpr WorldPoint kPlayAgainWords{0.0, 32.0};
constexpr auto kNewShipWaits = std::chrono::milliseconds(1500);

double counterDifference(const RunningGame::Screenshot& a, const RunningGame::Screenshot& b) {
    double sum = 0.0;
    int count = 0;
    for (int y = kCounterTop; y < kCounterBottom; ++y) {
        for (int x = kCounterLeft; x < kCounterRight; ++x) {
            for (int c = 0; c < 3; ++c) {
                sum += std::abs(a.at(x, y)[c] - b.at(x, y)[c]);
                ++count;
            }
        }
    }
    return sum / count;
}

} // namespace

TEST(PlayOnScreen, FlyingIntoTheSunLosesAndAClickStartsANewGame) {
    const ScreenPictures pictures;
    TgaImage lose;
    ASSERT_TRUE(lose.load(VANTOREL_DATA_DIR "/images/lose.tga", false));
    ASSERT_EQ(lose.bitsPerPixel(), 32);

    RunningGame game;
    ASSERT_TRUE(game.hasWindow());
    const RunningGame::Screenshot playing =
        reachPlay(game, pictures); // the ship waits at its start
    ASSERT_LT(shareOfEndPicture(playing, lose), 0.5);

    // A quick click: press and release may well arrive between two frames.
    game.click(windowX(kSunCentre.x), windowY(kSunCentre.y)); // the ship flies into the sun
    const RunningGame::Screenshot lost =
        screenshotWhen(game, [&](const RunningGame::Screenshot& shot) {
            return shareOfEndPicture(shot, lose) > 0.9;
        });
    EXPECT_GT(shareOfEndPicture(lost, lose), 0.9) << "the lose picture never showed";

    // At once, while the wreck still flies on into the sun: a plain quick click
    // on "Click to play again", just below the sun. Its press and release may
    // well arrive between two frames; neither may send the new ship anywhere.
    game.click(windowX(kPlayAgainWords.x), windowY(kPlayAgainWords.y));
    const RunningGame::Screenshot again =
        screenshotWhen(game, [&](const RunningGame::Screenshot& shot) {
            return shareOfEndPicture(shot, lose) < 0.5;
        });
    EXPECT_LT(shareOfEndPicture(again, lose), 0.5) << "no new game started";
    EXPECT_LT(counterDifference(again, playing), 4.0) << "the counter should read 0 again";
    std::this_thread::sleep_for(kNewShipWaits);
    EXPECT_LT(shareOfEndPicture(game.screenshot(), lose), 0.5) << "the new ship was lost at once";
    EXPECT_TRUE(game.stillRunning());
}
