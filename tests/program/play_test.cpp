#include "running_game.h"

#include "play_field.h"
#include "render/tga_image.h"
#include "stretched_picture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

constexpr double kWholePicture = 0.97;
constexpr auto kPollInterval = std::chrono::milliseconds(50);
constexpr int kPolls = 200;
// Where the end picture says "Click to play again", in world units.
constexpr WorldPoint kPlayAgainWords{0.0, 32.0};
constexpr auto kNewShipWaits = std::chrono::milliseconds(1500);

template <typename Condition>
RunningGame::Screenshot waitUntil(const RunningGame& game, Condition holds) {
    RunningGame::Screenshot shot = game.screenshot();
    for (int attempt = 0; attempt < kPolls && !holds(shot); ++attempt) {
        std::this_thread::sleep_for(kPollInterval);
        shot = game.screenshot();
    }
    return shot;
}

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
    const StretchedPicture title(VANTOREL_DATA_DIR "/images/titlescreen.tga");
    const StretchedPicture instructions(VANTOREL_DATA_DIR "/images/instructions.tga");
    TgaImage lose;
    ASSERT_TRUE(lose.load(VANTOREL_DATA_DIR "/images/lose.tga", false));
    ASSERT_EQ(lose.bitsPerPixel(), 32);

    RunningGame game;
    ASSERT_TRUE(game.hasWindow());
    waitForPicture(game, title, kWholePicture);
    game.click(512, 384);
    waitForPicture(game, instructions, kWholePicture);
    game.click(windowX(30.0), windowY(70.0)); // play starts; the ship waits at (0, 48)
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const RunningGame::Screenshot playing = game.screenshot();
    ASSERT_LT(shareOfEndPicture(playing, lose), 0.5);

    // A quick click: press and release may well arrive between two frames.
    game.click(windowX(kSunCentre.x), windowY(kSunCentre.y)); // the ship flies into the sun
    const RunningGame::Screenshot lost = waitUntil(game, [&](const RunningGame::Screenshot& shot) {
        return shareOfEndPicture(shot, lose) > 0.9;
    });
    EXPECT_GT(shareOfEndPicture(lost, lose), 0.9) << "the lose picture never showed";

    // At once, while the wreck still flies on into the sun: a plain quick click
    // on "Click to play again", just below the sun. Its press and release may
    // well arrive between two frames; neither may send the new ship anywhere.
    game.click(windowX(kPlayAgainWords.x), windowY(kPlayAgainWords.y));
    const RunningGame::Screenshot again = waitUntil(game, [&](const RunningGame::Screenshot& shot) {
        return shareOfEndPicture(shot, lose) < 0.5;
    });
    EXPECT_LT(shareOfEndPicture(again, lose), 0.5) << "no new game started";
    EXPECT_LT(counterDifference(again, playing), 4.0) << "the counter should read 0 again";
    std::this_thread::sleep_for(kNewShipWaits);
    EXPECT_LT(shareOfEndPicture(game.screenshot(), lose), 0.5) << "the new ship was lost at once";
    EXPECT_TRUE(game.stillRunning());
}
