#include "world/debris.h"

#include <gtest/gtest.h>

namespace {

Debris debrisAt(float x, float y) {
    Debris debris;
    debris.setX(x);
    debris.setY(y);
    return debris;
}

} // namespace

TEST(Debris, IsCapturedWithinThreeUnitsOfItsTarget) {
    struct Case {
        float distance;
        bool captured;
    };
    for (const Case& c : {Case{3.0f, true}, Case{3.01f, false}, Case{0.0f, true}}) {
        SCOPED_TRACE(c.distance);
        Debris debris = debrisAt(10.0f, 20.0f);
        debris.setTarget(10.0f, 20.0f + c.distance);
        EXPECT_EQ(debris.hasReachedTarget(), c.captured);
        EXPECT_EQ(debris.isCaptured(), c.captured);
    }
}

TEST(Debris, StaysCapturedAfterTheShipHasLeft) {
    Debris debris = debrisAt(10.0f, 20.0f);
    debris.setTarget(12.0f, 20.0f);
    ASSERT_TRUE(debris.hasReachedTarget());
    debris.setTarget(40.0f, 60.0f);
    EXPECT_FALSE(debris.hasReachedTarget());
    EXPECT_TRUE(debris.isCaptured());
}

TEST(Debris, StartsSmallAndComesBackFullSize) {
    Debris debris;
    EXPECT_FLOAT_EQ(debris.size(), 0.7f);
    debris.reset();
    EXPECT_FLOAT_EQ(debris.size(), 1.0f);
}

TEST(Debris, ResetForgetsCaptureAttractionAndSpin) {
    Debris debris = debrisAt(10.0f, 20.0f);
    debris.setTarget(11.0f, 20.0f);
    debris.setAttracted(1);
    debris.setAttractRange(20.0f);
    debris.setSpinRate(30.0f);
    debris.update(1.0f);
    ASSERT_TRUE(debris.isCaptured());

    debris.reset();
    EXPECT_FALSE(debris.isCaptured());
    EXPECT_EQ(debris.x(), 0.0f);
    EXPECT_EQ(debris.y(), 40.0f);
    EXPECT_EQ(debris.angle(), 0.0f);
    EXPECT_FALSE(debris.checkInRange(0.0f, 41.0f)); // attraction range back to 0

    debris.setX(5.0f); // target stays where the reset put it, and it is not attracted
    debris.update(0.5f);
    EXPECT_EQ(debris.x(), 5.0f);
    EXPECT_FLOAT_EQ(debris.angle(), 50.0f); // spin rate back to 1
}

TEST(Debris, GlidesTowardsItsTargetOnlyWhileAttracted) {
    struct Case {
        int attracted;
        float x;
    };
    for (const Case& c : {Case{1, 11.0f}, Case{0, 10.0f}, Case{-1, 10.0f}}) {
        SCOPED_TRACE(c.attracted);
        Debris debris = debrisAt(10.0f, 40.0f);
        debris.setTarget(20.0f, 40.0f);
        debris.setAttracted(c.attracted);
        debris.update(0.1f);
        EXPECT_FLOAT_EQ(debris.x(), c.x);
        EXPECT_FALSE(debris.isCaptured());
    }
}

TEST(Debris, StopsGlidingOnceWithinReach) {
    Debris debris = debrisAt(10.0f, 40.0f);
    debris.setTarget(12.5f, 40.0f);
    debris.setAttracted(1);
    debris.update(0.1f);
    EXPECT_EQ(debris.x(), 10.0f);
    EXPECT_TRUE(debris.isCaptured());
}

TEST(Debris, IsInRangeUpToTheAttractRange) {
    struct Case {
        float range, distance;
        bool inRange;
    };
    const Case cases[] = {
        {20.0f, 20.0f, true}, {20.0f, 20.01f, false}, {0.0f, 0.0f, true}, {0.0f, 0.01f, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.distance << " within " << c.range);
        Debris debris = debrisAt(-30.0f, 10.0f);
        debris.setAttractRange(c.range);
        EXPECT_EQ(debris.checkInRange(-30.0f + c.distance, 10.0f), c.inRange);
    }
}

TEST(Debris, TurnsEvenWhileFree) {
    Debris debris = debrisAt(-30.0f, 10.0f);
    debris.setSpinRate(2.0f);
    debris.update(0.5f);
    debris.update(0.5f);
    EXPECT_FLOAT_EQ(debris.angle(), 200.0f);
    EXPECT_FALSE(debris.isCaptured());
}
