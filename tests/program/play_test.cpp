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
constexpr auto kEndPictureTakesNoClick = std::chrono::milliseconds(500);
constexpr int kAttempts = 3;

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

// Flies the ship into the sun and clicks on the end picture the moment it is
// seen. Whether that click provably came within the picture's first half
// second: the picture was not yet on a screenshot begun just before.
bool loseAndClickAtOnce(const RunningGame& game, const TgaImage& lose) {
    using Clock = std::chrono::steady_clock;
    game.click(windowX(kSunCentre.x), windowY(kSunCentre.y)); // the ship flies into the sun
    Clock::time_point notYetShown = Clock::now();
    const bool shown = waitUntil([&] {
        const Clock::time_point taken = Clock::now();
        if (shareOfEndPicture(game.screenshot(), lose) > 0.9) {
            return true;
        }
        notYetShown = taken;
        return false;
    });
    EXPECT_TRUE(shown) << "the lose picture never showed";
    game.click(windowX(kPlayAgainWords.x), windowY(kPlayAgainWords.y));
    return Clock::now() - notYetShown < kEndPictureTakesNoClick;
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

    // A click at once, as one that was steering the ship might come: the end
    // picture stands its moment all the same. A machine too slow to click that
    // soon plays again and tries once more.
    bool clickedAtOnce = false;
    for (int attempt = 0; attempt < kAttempts && !clickedAtOnce; ++attempt) {
        clickedAtOnce = loseAndClickAtOnce(game, lose);
        std::this_thread::sleep_for(kEndPictureStands);
        if (!clickedAtOnce) {
            game.click(windowX(kPlayAgainWords.x), windowY(kPlayAgainWords.y));
            std::this_thread::sleep_for(kNewShipWaits);
        }
    }
    ASSERT_TRUE(clickedAtOnce) << "no click came within half a second of the end picture";
    EXPECT_GT(shareOfEndPicture(game.screenshot(), lose), 0.9) << "a click skipped the end picture";

    // Then, while the wreck still flies on into the sun: a plain quick click on
    // "Click to play again", just below the sun. Its press and release may well
    // arrive between two frames; neither may send the new ship anywhere.
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
