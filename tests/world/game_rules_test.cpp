#include "world/game_rules.h"

#include "clock/elapsed_time.h"
#include "world/game_screen.h"
#include "world/world.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr int kStartMs = 10000;

// The rules of a run on a world of their own, their clock driven.
class Rules : public testing::Test {
protected:
    void SetUp() override { startAt(kStartMs); }
    void TearDown() override {
        releaseElapsedMilliseconds();
        currentScreen = GameScreen::Title;
    }

    void startAt(int ms) {
        driveElapsedMilliseconds(ms);
        rules.start();
    }
    void frameAt(int ms) {
        driveElapsedMilliseconds(ms);
        rules.frame();
    }

    World world;
    GameRules rules{world};
};

} // namespace

TEST_F(Rules, TheFrameTimeIsTheClockStepClampedToAStall) {
    struct Case {
        int stepMs;
        double delta;
        bool stalled;
    };
    for (const Case& c : {Case{16, 0.016, false}, Case{120, 0.12, false}, Case{121, 0.12, true},
                          Case{500, 0.12, true}, Case{0, 0.0, false}}) {
        SCOPED_TRACE(c.stepMs);
        startAt(kStartMs);
        frameAt(kStartMs + c.stepMs);
        EXPECT_DOUBLE_EQ(rules.delta(), c.delta);
        EXPECT_EQ(rules.stalled(), c.stalled);
    }
}

TEST_F(Rules, TheFrameClockRunsOnAcrossTheWrapOfItsReadings) {
    startAt(INT_MAX - 10);
    frameAt(INT_MIN + 5);
    EXPECT_DOUBLE_EQ(rules.delta(), 0.016);
}

TEST_F(Rules, PlayStartsItsClockAfreshAfterTheMenus) {
    const GasCloud& cloud = world.gasCloud();
    for (int ms = kStartMs; ms <= 15000; ms += 100) {
        frameAt(ms);
    }
    currentScreen = GameScreen::Instructions;
    frameAt(20000);
    const float turned = cloud.rotation();
    EXPECT_EQ(turned, 0.0f) << "the world stands still behind the menus";

    // The instructions are drawn only when shown: their last frame is long past.
    currentScreen = GameScreen::Playing;
    frameAt(60000);
    EXPECT_EQ(rules.delta(), 0.0);
    EXPECT_EQ(cloud.rotation(), turned);
    frameAt(60016);
    EXPECT_DOUBLE_EQ(rules.delta(), 0.016);
    EXPECT_NEAR(cloud.rotation() - turned, 40.0f * 0.016f, 1e-4f); // turns 40 degrees a second
}

// A click as the ship dies, steering it, must not skip the end picture unseen:
// the picture stands half a second from the frame after the one that drew it.
TEST_F(Rules, TheEndPictureStandsHalfASecondBeforeAClickRestarts) {
    constexpr int kDrawnAfterMs = 200; // a slow frame: the picture was read as it first showed
    struct Case {
        bool frameAfter;
        int afterMs;
        bool restarts;
    };
    for (const Case& c : {Case{true, 0, false}, Case{true, 499, false}, Case{true, 500, true},
                          Case{true, 3000, true}, Case{false, 3000, false}}) {
        SCOPED_TRACE(testing::Message() << c.frameAfter << " " << c.afterMs);
        currentScreen = GameScreen::Playing;
        world.restart();
        world.ship().setX(0.0f);
        world.ship().setY(46.0f); // within the sun's reach
        frameAt(kStartMs);
        ASSERT_TRUE(world.isGameOver());
        const int shownAt = kStartMs + kDrawnAfterMs;
        if (c.frameAfter) {
            frameAt(shownAt);
        }
        driveElapsedMilliseconds(shownAt + c.afterMs); // the last frame's reading
        rules.applyButton(GameRules::kLeftButton, GameRules::kPressed);
        rules.applyButton(GameRules::kLeftButton, GameRules::kReleased);
        EXPECT_EQ(world.restartRequested(), c.restarts);
    }
}

// The new ship waits above the sun for the player: the game's time starts with
// the first press in play, not with the game.
TEST_F(Rules, AGamesTimeStartsAtItsFirstClickInPlay) {
    currentScreen = GameScreen::Playing;
    for (int ms = kStartMs; ms <= kStartMs + 3000; ms += 100) {
        frameAt(ms);
    }
    EXPECT_EQ(world.gameSeconds(), 0.0) << "waiting is not playing";
    rules.setPointer(-30.0f, 60.0f);
    rules.applyButton(GameRules::kLeftButton, GameRules::kPressed);
    for (int ms = kStartMs + 3100; ms <= kStartMs + 4000; ms += 100) {
        frameAt(ms);
    }
    EXPECT_NEAR(world.gameSeconds(), 1.0, 1e-6); // ten steps of 0.1 in single precision
}

TEST_F(Rules, TheFirstFrameSetsTheWorldOutOnce) {
    const auto firstDebrisY = [this] { return world.debris().front()->y(); };
    EXPECT_EQ(firstDebrisY(), 40.0f) << "the debris wait at the centre until the first frame";
    frameAt(kStartMs);
    const float placed = firstDebrisY();
    EXPECT_NE(placed, 40.0f);
    frameAt(kStartMs + 16);
    EXPECT_EQ(firstDebrisY(), placed);
}
