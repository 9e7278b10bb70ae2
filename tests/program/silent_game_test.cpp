#include "program_harness.h"
#include "support/audio_driver.h"

#include <gtest/gtest.h>

// Players without a sound card still get the whole game, only silent.
TEST(SilentGame, StartsAndPlaysWithoutAnAudioDevice) {
    const ScopedAudioDriver noDevice(kNoAudioDevice); // inherited by the game's process
    const ScreenPictures pictures;
    RunningGame game;
    ASSERT_TRUE(game.hasWindow());

    reachPlay(game, pictures);
    game.click(600, 300); // steer the ship
    game.click(600, 300); // and again, over where it flies

    EXPECT_TRUE(game.stillRunning());
    EXPECT_EQ(game.title(), "Vantorel");
    EXPECT_EQ(game.screenshot().width, kWindowWidth);
}
