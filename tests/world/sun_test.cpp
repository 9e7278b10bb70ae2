#include "world/sun.h"

#include "clock/elapsed_time.h"

#include <gtest/gtest.h>

namespace {

constexpr int kLoadedAt = 10000;

// The sun reads the elapsed-time clock when it starts and on every update.
class SunClock : public testing::Test {
protected:
    void SetUp() override {
        driveElapsedMilliseconds(kLoadedAt);
        sun.start();
    }
    void TearDown() override { releaseElapsedMilliseconds(); }

    void updateAt(int milliseconds) {
        driveElapsedMilliseconds(milliseconds);
        sun.update(0.0f);
    }

    // One cross-fade step: the first update more than 500 ms after the last step.
    void step() {
        now += 501;
        updateAt(now);
    }

    Sun sun;
    int now = kLoadedAt;
};

} // namespace

TEST_F(SunClock, StepsOnlyMoreThanHalfASecondAfterTheLastStep) {
    updateAt(kLoadedAt + 500);
    EXPECT_EQ(sun.alpha(), 1.0f);
    updateAt(kLoadedAt + 501);
    EXPECT_FLOAT_EQ(sun.alpha(), 0.9f);
    EXPECT_FLOAT_EQ(sun.glowAlpha(), 0.1f);
    updateAt(kLoadedAt + 1001); // measured from the step, not from the load
    EXPECT_FLOAT_EQ(sun.alpha(), 0.9f);
    updateAt(kLoadedAt + 1002);
    EXPECT_FLOAT_EQ(sun.alpha(), 0.8f);
}

TEST_F(SunClock, CrossFadesInACycleOfTwentyTwoSteps) {
    for (int i = 0; i < 10; ++i) {
        step();
    }
    // Ten double steps of 0.1 leave the float opacities just past their ends.
    EXPECT_LT(sun.alpha(), 0.0f);
    EXPECT_GT(sun.alpha(), -1e-6f);
    EXPECT_GT(sun.glowAlpha(), 1.0f);
    EXPECT_LT(sun.glowAlpha(), 1.0f + 1e-6f);
    EXPECT_FALSE(sun.brightening());

    const float lowest = sun.alpha();
    step(); // the turn changes no opacity
    EXPECT_TRUE(sun.brightening());
    EXPECT_EQ(sun.alpha(), lowest);

    for (int i = 0; i < 10; ++i) {
        step();
        EXPECT_TRUE(sun.brightening());
    }
    EXPECT_GE(sun.alpha(), 1.0f);
    EXPECT_NEAR(sun.glowAlpha(), 0.0f, 1e-6f);

    const float highest = sun.alpha();
    step();
    EXPECT_FALSE(sun.brightening());
    EXPECT_EQ(sun.alpha(), highest);

    step(); // the next cycle fades the first layer out again
    EXPECT_LT(sun.alpha(), highest);
}

TEST(Sun, DestroysAShipWithinSixUnitsOfItsCentre) {
    struct Case {
        float x, y;
        bool contained;
    };
    const Case cases[] = {{0.0f, 46.0f, true},
                          {0.0f, 46.0001f, false},
                          {-6.0f, 40.0f, true},
                          {0.0f, 33.9999f, false}};
    const Sun sun;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        EXPECT_EQ(sun.contains(c.x, c.y, 2.0f), c.contained);
    }
}

TEST(Sun, CountsItsRadiusOnTopOfTheReach) {
    const Sun sun;
    EXPECT_EQ(sun.radius(), 4.0f);
    EXPECT_TRUE(sun.contains(13.0f, 40.0f, 9.0f));
    EXPECT_FALSE(sun.contains(13.01f, 40.0f, 9.0f));
}
