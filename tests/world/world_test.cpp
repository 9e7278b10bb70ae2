#include "world/world.h"

#include "clock/elapsed_time.h"
#include "math/numeric.h"
#include "support/sound_requests.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kCloudX = 30.0f;
constexpr float kCloudY = 20.0f;
constexpr float kTinyStep = 0.001f;
constexpr float kStep = 0.1f;
constexpr unsigned kScenarioSeed = 7;

// Whole games on a real world: a driven clock, the field of a running game, and
// helpers that put the bodies where a scenario needs them.
class WorldScenario : public testing::Test {
protected:
    void SetUp() override {
        driveElapsedMilliseconds(1000);
        seedRandom(kScenarioSeed); // scattered debris land clear of every scenario's ship
        world.begin();
        parkDebrisFarAway();
        world.gasCloud().setX(kCloudX);
        world.gasCloud().setY(kCloudY);
    }
    void TearDown() override { releaseElapsedMilliseconds(); }

    // Out of reach of every scenario below: the far upper left corner.
    void parkDebrisFarAway() {
        for (const auto& d : world.debris()) {
            d->setX(-45.0f);
            d->setY(70.0f);
        }
    }

    void placeShip(float x, float y) {
        Ship& ship = world.ship();
        ship.setX(x);
        ship.setY(y);
        ship.setButtonHeld(false);
        ship.setTarget(x, y);
    }

    // Puts `count` debris on the ship and lets a spinning ship catch them.
    void catchDebris(int count) {
        const Ship& ship = world.ship();
        for (int i = 0; i < count; ++i) {
            world.debris()[i]->setX(ship.x());
            world.debris()[i]->setY(ship.y());
        }
        world.update(kTinyStep);
        world.update(kTinyStep);
        ASSERT_EQ(capturedCount(), count);
    }

    int capturedCount() const {
        int captured = 0;
        for (const auto& d : world.debris()) {
            captured += d->isCaptured() ? 1 : 0;
        }
        return captured;
    }

    // One update of kStep that carries a travelling ship exactly onto the cloud.
    void flyIntoCloud() {
        Ship& ship = world.ship();
        const float targetX = ship.x() + (kCloudX - ship.x()) / kStep;
        const float targetY = ship.y() + (kCloudY - ship.y()) / kStep;
        ship.setTarget(targetX, targetY);
        ship.setButtonHeld(true);
        world.update(kStep);
        ship.setButtonHeld(false);
    }

    void formPlanetWith(int debrisCount) {
        parkDebrisFarAway();
        placeShip(kCloudX - 4.0f, kCloudY);
        catchDebris(debrisCount);
        world.gasCloud().setX(kCloudX);
        world.gasCloud().setY(kCloudY);
        flyIntoCloud();
    }

    Planet& addFormedPlanetAt(float x, float y, float size) {
        Planet* planet = new Planet();
        world.addPlanet(planet);
        planet->setX(x);
        planet->setY(y);
        planet->computePolarAngle(x, y);
        planet->setSize(size);
        planet->form();
        return *planet;
    }

    int explosions() const { return sounds.count(ShipExplode); }
    int crashes() const { return sounds.count(PlanetExplosion); }

    void letPlanetsForm() {
        driveElapsedMilliseconds(elapsedMilliseconds() + 2001);
        world.update(0.0f);
    }

    const SoundRequests sounds;
    World world;
};

} // namespace

TEST_F(WorldScenario, PlanetSizeFollowsTheTowedDebris) {
    struct Case {
        int towed;
        float size;
    };
    for (const Case c : {Case{0, 4.0f}, Case{6, 4.2f}, Case{15, 10.0f}}) {
        world.restart(); // a lone planet: nothing to collide with and wear it down
        formPlanetWith(c.towed);
        ASSERT_EQ(world.planets().size(), 1u) << c.towed << " towed";
        const Planet& planet = *world.planets().back();
        EXPECT_FLOAT_EQ(planet.size(), c.size) << c.towed << " towed";
        EXPECT_NEAR(planet.x(), kCloudX, 1e-4f);
        EXPECT_NEAR(planet.y(), kCloudY, 1e-4f);
        EXPECT_EQ(capturedCount(), 0) << "captured debris are consumed";
        EXPECT_EQ(world.planetsFormed(), 1);
    }
}

TEST_F(WorldScenario, FormingMovesTheCloudClearOfTheSun) {
    for (int i = 0; i < 20; ++i) {
        formPlanetWith(0);
        const GasCloud& cloud = world.gasCloud();
        EXPECT_GT(std::hypot(cloud.x(), cloud.y() - 40.0f), 13.0f);
        EXPECT_TRUE(cloud.x() >= -50.0f && cloud.x() < 50.0f);
        EXPECT_TRUE(cloud.y() >= 0.0f && cloud.y() < 75.0f);
    }
}

TEST_F(WorldScenario, AShipThatJustStoppedStillFormsASmallPlanet) {
    placeShip(kCloudX - 1.05f, kCloudY);
    catchDebris(6);
    Ship& ship = world.ship();
    // Aimed at the cloud's centre, the ship arrives (within 2.0) in the very update
    // that brings it within 1.0 of the centre, so it tows nothing in that update.
    ship.setTarget(kCloudX, kCloudY);
    ship.setButtonHeld(true);
    world.update(kStep);
    ASSERT_EQ(world.planets().size(), 1u);
    EXPECT_FALSE(ship.moving());
    EXPECT_FLOAT_EQ(world.planets().front()->size(), 4.0f);
    EXPECT_EQ(capturedCount(), 0) << "the captured debris are consumed all the same";
}

TEST_F(WorldScenario, TwelvePlanetsWithTheShipAliveWin) {
    placeShip(-40.0f, 70.0f);
    for (int i = 0; i < 11; ++i) {
        addFormedPlanetAt(-40.0f + 3.0f * i, 10.0f, 4.0f);
    }
    world.update(0.0f);
    EXPECT_FALSE(world.isGameOver());
    addFormedPlanetAt(40.0f, 10.0f, 4.0f);
    world.update(0.0f);
    EXPECT_TRUE(world.isGameOver());
}

TEST_F(WorldScenario, TheSunDestroysTheShip) {
    placeShip(0.0f, 46.0f); // 6.0 from the sun: within its reach
    world.update(0.0f);
    EXPECT_TRUE(world.ship().dead());
    world.update(0.0f);
    EXPECT_TRUE(world.isGameOver());
}

// The wreck goes on touching what destroyed it on every update.
TEST_F(WorldScenario, AShipExplodesOnceForEachDestruction) {
    struct Case {
        const char* where;
        float x, y;
    };
    for (const Case c : {Case{"in the sun", 0.0f, 46.0f}, Case{"on a planet", 20.0f, 60.0f}}) {
        SCOPED_TRACE(c.where);
        world.restart();
        addFormedPlanetAt(20.0f, 60.0f, 4.0f);
        letPlanetsForm();
        const int before = explosions();
        for (int game = 1; game <= 2; ++game) {
            placeShip(c.x, c.y);
            for (int update = 0; update < 30; ++update) {
                world.update(0.0f);
            }
            EXPECT_TRUE(world.ship().dead());
            EXPECT_EQ(explosions() - before, game);
            world.ship().setDead(false); // as a new game does
        }
    }
}

TEST_F(WorldScenario, OnlyAFormedPlanetDestroysTheShip) {
    placeShip(20.0f, 60.0f);
    addFormedPlanetAt(20.0f, 60.0f, 4.0f);
    world.update(0.0f);
    EXPECT_FALSE(world.ship().dead()) << "a forming planet lets the ship through";
    letPlanetsForm();
    EXPECT_TRUE(world.ship().dead());
}

TEST_F(WorldScenario, ALeftPressOverTheEndImageRestartsOnTheNextUpdate) {
    placeShip(0.0f, 46.0f);
    world.update(0.0f);
    world.update(0.0f);
    ASSERT_TRUE(world.isGameOver());

    world.setRestartRequested(true);
    world.setRestartRequested(false); // a quick click: its release before the next frame
    world.update(0.0f);
    EXPECT_FALSE(world.isGameOver());
    EXPECT_FALSE(world.ship().dead());
}

// However the last game ended, the new ship waits at its start for the player:
// neither a wreck still flying through the sun nor a button held as the ship
// died may carry it back there.
TEST_F(WorldScenario, ANewGameStartsAtRestWhateverTheLastShipWasDoing) {
    for (const bool heldAsItDied : {false, true}) {
        world.restart();
        placeShip(0.0f, 60.0f);
        Ship& ship = world.ship();
        ship.setTarget(0.0f, 20.0f); // beyond the sun
        ship.setButtonHeld(true);
        ship.setButtonHeld(heldAsItDied);
        for (int i = 0; i < 50 && !ship.dead(); ++i) {
            world.update(kStep);
        }
        world.update(0.0f);
        ASSERT_TRUE(world.isGameOver()) << "held: " << heldAsItDied;

        world.setRestartRequested(true);
        for (int i = 0; i < 30; ++i) {
            world.update(kStep);
        }
        world.update(0.0f);
        EXPECT_FALSE(world.isGameOver()) << "held: " << heldAsItDied;
        EXPECT_EQ(ship.x(), 0.0f) << "held: " << heldAsItDied;
        EXPECT_EQ(ship.y(), 48.0f) << "held: " << heldAsItDied;
    }
}

TEST_F(WorldScenario, RestartClearsTheSystemButNotTheField) {
    formPlanetWith(3);
    formPlanetWith(0);
    ASSERT_EQ(world.planetsFormed(), 2);
    world.debris()[50]->setX(12.5f);
    world.debris()[50]->setY(33.5f);
    world.restart();
    EXPECT_TRUE(world.planets().empty());
    EXPECT_EQ(world.planetsFormed(), 0);
    EXPECT_FLOAT_EQ(world.debris()[50]->x(), 12.5f);
    EXPECT_FLOAT_EQ(world.debris()[50]->y(), 33.5f);
    EXPECT_FLOAT_EQ(world.ship().x(), 0.0f);
    EXPECT_FLOAT_EQ(world.ship().y(), 48.0f);
}

TEST_F(WorldScenario, TouchingPlanetsWearDownToAFloor) {
    placeShip(-40.0f, 70.0f);
    Planet& large = addFormedPlanetAt(20.0f, 50.0f, 5.0f);
    Planet& small = addFormedPlanetAt(20.5f, 50.5f, 4.0f);
    world.update(0.0f);
    // Tested from both sides, the larger is worn twice.
    EXPECT_FLOAT_EQ(large.size(), 4.4f);
    EXPECT_FLOAT_EQ(small.size(), 4.0f);
    EXPECT_TRUE(large.hit());
    for (int i = 0; i < 20; ++i) {
        world.update(0.0f);
    }
    EXPECT_FLOAT_EQ(large.size(), 3.0f);
    EXPECT_FLOAT_EQ(small.size(), 3.0f);
}

TEST_F(WorldScenario, PlanetsCrashWhenTheyMeetNotWhileTheyOverlap) {
    placeShip(-40.0f, 70.0f);
    addFormedPlanetAt(20.0f, 50.0f, 5.0f);
    Planet& wanderer = addFormedPlanetAt(20.5f, 50.5f, 4.0f);
    const auto moveTo = [&](float x, float y) {
        wanderer.setX(x);
        wanderer.setY(y);
        wanderer.computePolarAngle(x, y);
    };
    const int before = crashes();
    for (int update = 0; update < 20; ++update) {
        world.update(0.0f);
    }
    EXPECT_EQ(crashes() - before, 1);

    moveTo(-20.0f, 20.0f);
    world.update(0.0f);
    moveTo(20.5f, 50.5f);
    world.update(0.0f);
    EXPECT_EQ(crashes() - before, 2) << "they met again";
}

// A debris the ship comes within reach of is caught by the end of the step,
// spinning or not, and circles it from then on.
TEST_F(WorldScenario, ADebrisWithinReachAtTheEndOfAStepIsCaught) {
    placeShip(10.0f, 20.0f);
    struct Case {
        float offset;
        bool caught;
    };
    for (const Case& c : {Case{3.0f, true}, Case{3.1f, false}}) {
        SCOPED_TRACE(c.offset);
        world.debris()[0]->reset();
        world.debris()[0]->setX(10.0f + c.offset);
        world.debris()[0]->setY(20.0f);
        world.update(0.0f);
        EXPECT_EQ(world.debris()[0]->isCaptured(), c.caught);
    }
}

TEST(World, ConstructsAHundredSmallDebrisWithoutDrawingOrRandomness) {
    const World fresh;
    ASSERT_EQ(fresh.debris().size(), 100u);
    for (const auto& d : fresh.debris()) {
        EXPECT_FLOAT_EQ(d->size(), 0.7f);
        EXPECT_FLOAT_EQ(d->x(), 0.0f);
        EXPECT_FLOAT_EQ(d->y(), 40.0f);
    }
    EXPECT_FALSE(fresh.isGameOver());
    EXPECT_EQ(fresh.planetsFormed(), 0);
}
