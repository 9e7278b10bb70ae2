#include "app/record_keeper.h"

#include "clock/elapsed_time.h"
#include "render/hud.h"
#include "render/screen_set.h"
#include "support/gl_context.h"
#include "support/temporary_folder.h"
#include "world/field_bounds.h"
#include "world/world.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr float kParkedX = -40.0f;
constexpr float kParkedY = 65.0f;
constexpr float kPlanetRowY = 10.0f;
constexpr std::chrono::milliseconds kNoPatience{0};

// Whole games on a real world with the clock held still, so that no planet
// ever finishes forming and none can hit the parked ship: it dies only when a
// test puts it in the sun.
class RecordKeeperTest : public testing::Test {
protected:
    void SetUp() override {
        driveElapsedMilliseconds(1000);
        world.begin();
        world.gasCloud().setX(40.0f);
        world.gasCloud().setY(5.0f);
        parkShip();
    }
    void TearDown() override {
        releaseElapsedMilliseconds();
        getHud().setRecordLine("");
    }

    // One frame as the game runs it.
    void frame(float dt) {
        world.update(dt);
        keeper.afterDraw(world);
    }

    void parkShip() { putShip(kParkedX, kParkedY); }
    // A click on the ship where it waits: it spins, and the game's time starts.
    void pressOnTheShip() {
        world.ship().setButtonHeld(true);
        world.ship().setButtonHeld(false);
    }
    void putShipInTheSun() { putShip(0.0f, 46.0f); }
    void putShip(float x, float y) {
        Ship& ship = world.ship();
        ship.setX(x);
        ship.setY(y);
        ship.setTarget(x, y);
        ship.setButtonHeld(false);
    }

    void addPlanets(int count) {
        for (int i = 0; i < count; ++i) {
            Planet* const planet = new Planet();
            world.addPlanet(planet);
            planet->setX(-44.0f + 8.0f * static_cast<float>(i));
            planet->setY(kPlanetRowY);
            planet->computePolarAngle(planet->x(), kPlanetRowY);
            planet->setSize(4.0f);
            planet->form();
        }
    }

    void startNewGame() {
        world.setRestartRequested(true);
        frame(0.0f);
        parkShip();
    }

    Records kept() const { return RecordStore(home.path()).load(); }

    TemporaryFolder home;
    World world;
    RecordKeeper keeper;
};

} // namespace

TEST_F(RecordKeeperTest, ALossCountsOnceWhenItsPictureFirstShows) {
    ASSERT_TRUE(keeper.open(RecordStore(home.path())));
    addPlanets(2);
    frame(0.1f);
    putShipInTheSun();
    frame(0.1f);
    ASSERT_TRUE(world.isGameOver());
    EXPECT_EQ(kept().gamesPlayed, 1);
    EXPECT_EQ(kept().planetsFormed, 2);
    EXPECT_EQ(getHud().recordLine(), "2 planets. New best!");

    // The world goes on under the picture; what forms there is not that game's.
    addPlanets(3);
    frame(0.1f);
    frame(0.1f);
    EXPECT_EQ(kept().gamesPlayed, 1);
    EXPECT_EQ(kept().mostPlanets, 2);
    EXPECT_EQ(getHud().recordLine(), "2 planets. New best!");
}

TEST_F(RecordKeeperTest, AWinsTimeIsTheSumOfItsStepsUpToTheUpdateThatWonIt) {
    ASSERT_TRUE(keeper.open(RecordStore(home.path())));
    frame(20.0f); // the new ship waits for its first press: that is not play
    pressOnTheShip();
    frame(20.0f);
    frame(0.0f);
    frame(20.0f);
    addPlanets(12);
    frame(5.0f);
    ASSERT_TRUE(world.isGameOver());
    frame(30.0f); // under the win picture
    EXPECT_EQ(kept().fastestWinMilliseconds, 45'000);
    EXPECT_EQ(getHud().recordLine(), "Won in 0:45. New best!");

    startNewGame();
    EXPECT_EQ(getHud().recordLine(), "") << "a new game shows no line";
    frame(3.0f);
    pressOnTheShip();
    frame(20.0f);
    addPlanets(12);
    frame(10.0f);
    EXPECT_EQ(getHud().recordLine(), "Won in 0:30. New best!");
    EXPECT_EQ(kept().gamesWon, 2);
    EXPECT_EQ(kept().fastestWinMilliseconds, 30'000);
}

TEST_F(RecordKeeperTest, AShipLostInTheUpdateThatFormsTheTwelfthPlanetLoses) {
    ASSERT_TRUE(keeper.open(RecordStore(home.path())));
    addPlanets(12);
    putShipInTheSun();
    frame(0.1f);
    ASSERT_TRUE(world.isGameOver());
    EXPECT_EQ(kept().gamesWon, 0);
    EXPECT_EQ(kept().mostPlanets, 12);
    EXPECT_EQ(getHud().recordLine(), "12 planets. New best!");
}

TEST_F(RecordKeeperTest, AGameThatCouldNotBeSavedGoesWithTheNextSave) {
    ASSERT_TRUE(keeper.open(RecordStore(home.path(), kNoPatience)));
    const int lock = open(home.pathOf("records.lock").c_str(), O_RDWR);
    ASSERT_EQ(flock(lock, LOCK_EX), 0); // another game holds the records too long

    addPlanets(2);
    putShipInTheSun();
    testing::internal::CaptureStderr();
    frame(0.1f);
    EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
    EXPECT_EQ(getHud().recordLine(), "2 planets. New best!");
    EXPECT_FALSE(home.has("records"));
    close(lock);

    startNewGame();
    addPlanets(1);
    putShipInTheSun();
    frame(0.1f);
    EXPECT_EQ(getHud().recordLine(), "1 planet. Most 2");
    EXPECT_EQ(kept().gamesPlayed, 2);
    EXPECT_EQ(kept().planetsFormed, 3);
}
