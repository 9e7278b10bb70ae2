#include "world/ship.h"

#include "support/sound_requests.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kStartX = 0.0f;
constexpr float kStartY = 48.0f;

Ship shipAt(float x, float y) {
    Ship ship;
    ship.setX(x);
    ship.setY(y);
    return ship;
}

} // namespace

TEST(Ship, StartsIdleAboveTheSun) {
    const Ship ship;
    EXPECT_EQ(ship.x(), kStartX);
    EXPECT_EQ(ship.y(), kStartY);
    EXPECT_EQ(ship.radius(), 2.0f);
    EXPECT_EQ(ship.spinRate(), 1.0f);
    EXPECT_EQ(ship.moveState(), MoveState::Idle);
    EXPECT_EQ(static_cast<int>(MoveState::Idle), -1);
    EXPECT_FALSE(ship.moving());
    EXPECT_FALSE(ship.dead());
}

TEST(Ship, TakesAPressWithinOneUnitAsOnIt) {
    struct Case {
        float offset;
        bool spinsUp;
    };
    for (const Case& c : {Case{1.0f, true}, Case{1.01f, false}}) {
        SCOPED_TRACE(c.offset);
        const SoundRequests sounds;
        Ship ship;
        ship.setTarget(kStartX + c.offset, kStartY);
        ship.setButtonHeld(true);
        ship.update(0.1f);
        EXPECT_EQ(sounds.count(Accelerate), c.spinsUp ? 1 : 0);
        EXPECT_EQ(ship.x() == kStartX, c.spinsUp);
        EXPECT_EQ(ship.spinRate() > 1.0f, c.spinsUp);
    }
}

TEST(Ship, ArrivesWithinTwoUnitsOfItsTarget) {
    struct Case {
        float offset;
        bool arrived;
    };
    for (const Case& c : {Case{2.0f, true}, Case{2.01f, false}}) {
        SCOPED_TRACE(c.offset);
        Ship ship;
        ship.setTarget(kStartX, kStartY + c.offset);
        ship.setButtonHeld(true);
        ship.update(0.0f);
        EXPECT_EQ(ship.moving(), !c.arrived);
        EXPECT_EQ(ship.moveState(), c.arrived ? MoveState::Idle : MoveState::Travelling);
    }
}

TEST(Ship, SpinsUpOnEveryUpdateHeldOnIt) {
    const SoundRequests sounds;
    Ship ship;
    ship.setTarget(kStartX, kStartY);
    ship.setButtonHeld(true);
    // Each held update of 0.1 s adds 5 and the decay takes 1 back off.
    for (const float expected : {5.0f, 9.0f, 13.0f}) {
        ship.update(0.1f);
        EXPECT_NEAR(ship.spinRate(), expected, 1e-5f);
        EXPECT_FALSE(ship.moving());
        EXPECT_EQ(ship.moveState(), MoveState::Idle);
    }
    EXPECT_EQ(sounds.count(Accelerate), 3);
    EXPECT_EQ(ship.x(), kStartX);
    EXPECT_EQ(ship.y(), kStartY);
}

TEST(Ship, CreepsTowardsAHeldTargetWithinArrivalRange) {
    constexpr float kTargetX = 1.9f;
    const SoundRequests sounds;
    Ship ship;
    ship.setTarget(kTargetX, kStartY);
    ship.setButtonHeld(true);
    int updates = 0;
    while (kTargetX - ship.x() > 1.0f && updates < 100) {
        const float before = ship.x();
        ship.update(0.1f);
        EXPECT_FALSE(ship.moving());
        EXPECT_GT(ship.x(), before);
        ++updates;
    }
    EXPECT_GT(updates, 1);

    const float parked = ship.x();
    const int whirs = sounds.count(Accelerate);
    ship.update(0.1f);
    EXPECT_EQ(ship.x(), parked);
    EXPECT_EQ(sounds.count(Accelerate), whirs + 1);
}

TEST(Ship, KeepsTravellingToWhereTheButtonWasReleased) {
    Ship ship;
    ship.setTarget(20.0f, kStartY);
    ship.setButtonHeld(true);
    ship.update(0.1f);
    ASSERT_TRUE(ship.moving());
    ASSERT_FLOAT_EQ(ship.x(), 2.0f);

    ship.setTarget(-20.0f, kStartY);
    ship.setButtonHeld(false);
    ship.update(0.1f);
    EXPECT_TRUE(ship.moving());
    EXPECT_FLOAT_EQ(ship.x(), -0.2f);
    EXPECT_FLOAT_EQ(ship.velocityX(), -22.0f);
}

TEST(Ship, AClickBetweenTwoUpdatesStillCounts) {
    Ship travelling;
    travelling.setTarget(20.0f, kStartY);
    travelling.setButtonHeld(true);
    travelling.setButtonHeld(false); // released before the next frame
    travelling.update(0.1f);
    EXPECT_TRUE(travelling.moving());
    EXPECT_FLOAT_EQ(travelling.x(), 2.0f);
    travelling.update(0.1f);
    EXPECT_FLOAT_EQ(travelling.x(), 3.8f) << "goes on to where it was sent";

    Ship spinning;
    spinning.setTarget(kStartX, kStartY);
    spinning.setButtonHeld(true);
    spinning.setButtonHeld(false);
    spinning.update(0.1f);
    spinning.update(0.1f);
    EXPECT_FLOAT_EQ(spinning.spinRate(), 5.0f) << "one spin-up step (1 + 5 - 1) and no second";
}

TEST(Ship, StaysPutWhenAnIdleShipGetsATargetWithoutAPress) {
    Ship ship;
    ship.setTarget(20.0f, 10.0f);
    ship.setButtonHeld(false);
    ship.update(0.1f);
    EXPECT_EQ(ship.x(), kStartX);
    EXPECT_EQ(ship.y(), kStartY);
    EXPECT_FALSE(ship.moving());
}

TEST(Ship, MeasuresItsPolarAngleAboutTheSun) {
    struct Case {
        float x, y, degrees;
    };
    const Case cases[] = {
        {0.0f, 60.0f, 0.0f},     {10.0f, 40.0f, 0.0f},   {-10.0f, 40.0f, 0.0f},
        {0.0f, 20.0f, 0.0f},     {10.0f, 50.0f, 45.0f},  {-10.0f, 50.0f, 135.0f},
        {-10.0f, 30.0f, 225.0f}, {10.0f, 30.0f, 315.0f}, {0.0f, 40.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
        Ship ship = shipAt(c.x, c.y);
        ship.update(0.0f);
        EXPECT_FLOAT_EQ(ship.polarAngle(), c.degrees);
    }
}

TEST(Ship, HitsAPlanetWithinReachInUnitsAndInDegrees) {
    // Ship radius 2 and planet radius 5: the same reach of 7 bounds the radial
    // gap in units and the angular gap in degrees.
    struct Case {
        float planetX, planetPolarAngle;
        bool hit;
    };
    const Case cases[] = {
        {16.9f, 0.0f, true}, {17.0f, 0.0f, false}, {10.0f, 6.9f, true}, {10.0f, 7.0f, false}};
    Ship ship = shipAt(10.0f, 40.0f);
    ship.update(0.0f);
    ASSERT_EQ(ship.polarAngle(), 0.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.planetX << " at " << c.planetPolarAngle);
        EXPECT_EQ(ship.hitsPlanet(c.planetX, 40.0f, 5.0f, c.planetPolarAngle), c.hit);
    }
}

TEST(Ship, NeverTouchesAPlanetAcrossZeroDegrees) {
    constexpr double kOneDegree = 3.141592653589793 / 180.0;
    const float x = static_cast<float>(20.0 * std::cos(kOneDegree));
    const float below = static_cast<float>(40.0 - 20.0 * std::sin(kOneDegree));
    const float above = static_cast<float>(40.0 + 20.0 * std::sin(kOneDegree));
    Ship ship = shipAt(x, below);
    ship.update(0.0f);
    ASSERT_NEAR(ship.polarAngle(), 359.0f, 1e-3f);
    EXPECT_FALSE(ship.hitsPlanet(x, above, 5.0f, 1.0f));
}

TEST(Ship, AWreckWhirlsFiftyOneTimesItsSpinRate) {
    for (const bool dead : {false, true}) {
        SCOPED_TRACE(dead);
        Ship ship;
        ship.setTarget(kStartX, kStartY);
        ship.setButtonHeld(true);
        ship.update(0.1f); // spin rate 5
        ship.setButtonHeld(false);
        ship.setDead(dead);
        const float spinRate = ship.spinRate();
        const float before = ship.rotation();
        ship.update(0.0f);
        EXPECT_FLOAT_EQ(ship.rotation() - before, (dead ? 51.0f : 1.0f) * spinRate);
    }
}

TEST(Ship, IdleSpinSettlesAtFiftyTimesTheFrameTime) {
    constexpr float kFrame = 1.0f / 60.0f;
    Ship ship;
    ship.update(kFrame);
    const float settled = ship.spinRate();
    EXPECT_NEAR(settled, 0.8333f, 1e-4f);
    for (int i = 0; i < 100; ++i) {
        ship.update(kFrame);
    }
    EXPECT_EQ(ship.spinRate(), settled);
}
