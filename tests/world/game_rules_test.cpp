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

TEST_F(Rules, TheFirstFrameSetsTheWorldOutOnce) {
    const auto firstDebrisY = [this] { return world.debris().front()->y(); };
    EXPECT_EQ(firstDebrisY(), 40.0f) << "the debris wait at the centre until the first frame";
    frameAt(kStartMs);
    const float placed = firstDebrisY();
    EXPECT_NE(placed, 40.0f);
    frameAt(kStartMs + 16);
    EXPECT_EQ(firstDebrisY(), placed);
}
