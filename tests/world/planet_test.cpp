#include "world/planet.h"

#include "clock/elapsed_time.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kLoadedAt = 5000;
constexpr double kDegree = 3.141592653589793 / 180.0;

// A point at `distance` from the system centre and `degrees` round it.
struct Point {
    float x, y;
};

Point aroundTheSun(double distance, double degrees) {
    return Point{static_cast<float>(distance * std::cos(degrees * kDegree)),
                 static_cast<float>(40.0 + distance * std::sin(degrees * kDegree))};
}

Planet planetAt(Point point, float size) {
    Planet planet;
    planet.setX(point.x);
    planet.setY(point.y);
    planet.computePolarAngle(point.x, point.y);
    planet.setSize(size);
    return planet;
}

// Planets read the elapsed-time clock when they start forming and on every update.
class PlanetClock : public testing::Test {
protected:
    void SetUp() override { driveElapsedMilliseconds(kLoadedAt); }
    void TearDown() override { releaseElapsedMilliseconds(); }

    static Planet loadedAt(Point point, float size) {
        Planet planet = planetAt(point, size);
        planet.form();
        return planet;
    }
};

} // namespace

TEST_F(PlanetClock, FormsOnTheFirstUpdateMoreThanTwoSecondsAfterLoading) {
    Planet planet = loadedAt({10.0f, 40.0f}, 4.0f);
    driveElapsedMilliseconds(kLoadedAt + 2000);
    planet.update(0.1f);
    EXPECT_FALSE(planet.formed());
    EXPECT_FLOAT_EQ(planet.spin(), 50.0f); // 500 degrees per second while forming

    driveElapsedMilliseconds(kLoadedAt + 2001);
    planet.update(0.1f);
    EXPECT_TRUE(planet.formed());
    EXPECT_FLOAT_EQ(planet.spin(), 6.0f * planet.orbitAngle()); // six turns per orbit
}

TEST_F(PlanetClock, OrbitsTheFasterTheSmallerItIs) {
    struct Case {
        float size, degreesPerSecond;
    };
    const Case cases[] = {{3.0f, 80.0f},  {4.99f, 80.0f}, {5.0f, 70.0f},
                          {6.0f, 60.0f},  {7.0f, 50.0f},  {8.0f, 40.0f},
                          {8.99f, 40.0f}, {9.0f, 30.0f},  {10.0f, 30.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        Planet planet = loadedAt({10.0f, 40.0f}, c.size);
        planet.update(1.0f);
        EXPECT_EQ(planet.orbitAngle(), c.degreesPerSecond);
        EXPECT_EQ(planet.polarAngle(), c.degreesPerSecond);
    }
}

TEST_F(PlanetClock, DropsTheExcessWhenItsPolarAngleReaches360) {
    Planet planet = loadedAt(aroundTheSun(15.0, 355.0), 4.0f);
    ASSERT_NEAR(planet.polarAngle(), 355.0f, 1e-3f);
    planet.update(0.1f); // 8 degrees at size 4
    EXPECT_EQ(planet.polarAngle(), 0.0f);
    EXPECT_EQ(planet.orbitAngle(), 8.0f);
    planet.update(0.1f);
    EXPECT_EQ(planet.polarAngle(), 8.0f);
    EXPECT_EQ(planet.orbitAngle(), 16.0f);
}

TEST(Planet, PointsOnTheAxesThroughTheSunHavePolarAngleZero) {
    for (const Point point :
         {Point{0.0f, 60.0f}, Point{12.0f, 40.0f}, Point{-12.0f, 40.0f}, Point{0.0f, 10.0f}}) {
        SCOPED_TRACE(testing::Message() << point.x << ", " << point.y);
        EXPECT_EQ(planetAt(point, 4.0f).polarAngle(), 0.0f);
    }
    EXPECT_NEAR(planetAt(aroundTheSun(12.0, 300.0), 4.0f).polarAngle(), 300.0f, 1e-3f);
}

TEST(Planet, ContactCountsItsOwnRadiusTwice) {
    // Radii 5 and 2 on the same polar angle, the larger 10 units from the sun.
    // Tested on the larger, t = 7 + 5 = 12; on the smaller, t = 7 + 2 = 9.
    struct Case {
        float gap;
        bool largerTouches, smallerTouches;
    };
    const Case cases[] = {{8.5f, true, true}, {10.0f, true, false}, {12.0f, false, false}};
    const Planet larger = planetAt({10.0f, 40.0f}, 10.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gap);
        const Planet smaller = planetAt({10.0f + c.gap, 40.0f}, 4.0f);
        EXPECT_EQ(larger.touches(smaller.x(), smaller.y(), 7.0f, smaller.polarAngle()),
                  c.largerTouches);
        EXPECT_EQ(smaller.touches(larger.x(), larger.y(), 7.0f, larger.polarAngle()),
                  c.smallerTouches);
    }
}

TEST(Planet, ContactAllowsOneDegreeLessThanItsReachInUnits) {
    const Planet larger = planetAt({10.0f, 40.0f}, 10.0f);
    EXPECT_TRUE(larger.touches(10.0f, 40.0f, 7.0f, 10.9f));
    EXPECT_FALSE(larger.touches(10.0f, 40.0f, 7.0f, 11.0f));
}

TEST(Planet, NeverTouchesAcrossZeroDegrees) {
    const Point point = aroundTheSun(20.0, 0.5);
    const Planet planet = planetAt(point, 10.0f);
    ASSERT_NEAR(planet.polarAngle(), 0.5f, 1e-3f);
    EXPECT_FALSE(planet.touches(point.x, point.y, 10.0f, 359.5f));
}

TEST(Planet, TakesHalfItsSizeAsRadius) {
    Planet planet;
    EXPECT_EQ(planet.size(), 3.0f);
    EXPECT_EQ(planet.radius(), 1.5f);
    planet.setSize(4.2f);
    EXPECT_FLOAT_EQ(planet.radius(), 2.1f);
}

TEST(Planet, AHitAtTheSmallestSizeStillMarksIt) {
    Planet planet = planetAt({10.0f, 40.0f}, 3.0f);
    planet.markHit();
    EXPECT_TRUE(planet.hit());
    EXPECT_EQ(planet.size(), 3.0f);
}

TEST_F(PlanetClock, CanBeStruckWhileStillForming) {
    Planet planet = loadedAt({10.0f, 40.0f}, 6.0f);
    planet.update(0.1f);
    ASSERT_FALSE(planet.formed());
    EXPECT_TRUE(planet.touches(12.0f, 40.0f, 5.0f, planet.polarAngle()));
    planet.markHit();
    planet.setSize(5.7f);
    planet.update(0.1f);
    EXPECT_TRUE(planet.hit());
    EXPECT_FALSE(planet.formed());
    EXPECT_FLOAT_EQ(planet.radius(), 2.85f);
}

TEST_F(PlanetClock, TakesATintBetweenATenthAndOne) {
    for (int i = 0; i < 20; ++i) {
        const Planet planet = loadedAt({10.0f, 40.0f}, 4.0f);
        for (const float channel : {planet.red(), planet.green(), planet.blue()}) {
            EXPECT_GE(channel, 0.1f);
            EXPECT_LT(channel, 1.0f);
        }
    }
}
