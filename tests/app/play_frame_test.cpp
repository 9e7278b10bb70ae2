#include "app/game.h"

#include "clock/elapsed_time.h"
#include "math/numeric.h"
#include "support/gl_context.h"
#include "support/png_picture.h"
#include "world/game_rules.h"
#include "world/game_screen.h"
#include "world/world.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The picture of the scene below as the game drew it before its drawing was
// made faster. Set VANTOREL_WRITE_REFERENCE=1 to draw it afresh, on purpose.
constexpr const char* kReference = VANTOREL_TEST_DATA_DIR "/twelve_planets.png";
constexpr int kTolerance = 2; // levels of 255, for rounding in the renderer
constexpr unsigned int kSceneSeed = 14;
constexpr int kStartMs = 10000;
constexpr int kSunStepMs = 600;
constexpr int kSunSteps = 4;
constexpr float kUpdateSeconds = 0.05f;
constexpr int kFormedPlanets = 8;
constexpr int kPlanets = 12;
constexpr int kCirclingDebris = 6;

struct Place {
    float x;
    float y;
};

// Planets on orbits of their own, far enough apart not to touch.
Place planetPlace(int i) {
    const float x = -44.0f + 8.0f * static_cast<float>(i);
    const float y = i % 2 == 0 ? 8.0f + 0.5f * static_cast<float>(i) : 68.0f;
    return Place{x, y};
}

void addPlanet(World& world, int i) {
    Planet* const planet = new Planet();
    world.addPlanet(planet);
    const Place place = planetPlace(i);
    planet->setX(place.x);
    planet->setY(place.y);
    planet->computePolarAngle(place.x, place.y);
    planet->setSize(4.0f + 0.5f * static_cast<float>(i % 8));
    planet->form();
}

// A game won with twelve planets: formed ones, worn ones, ones still forming,
// debris circling the ship, the sun between its two pictures, the counter and
// the win picture over it all.
void playTwelvePlanets() {
    World& world = getWorld();
    Ship& ship = world.ship();
    ship.setX(-20.0f);
    ship.setY(55.0f);
    ship.setTarget(-20.0f, 55.0f);
    for (int i = 0; i < kCirclingDebris; ++i) {
        world.debris()[static_cast<std::size_t>(i)]->setX(-21.5f + 0.5f * static_cast<float>(i));
        world.debris()[static_cast<std::size_t>(i)]->setY(54.0f);
    }
    world.gasCloud().setX(25.0f);
    world.gasCloud().setY(15.0f);
    for (int i = 0; i < kFormedPlanets; ++i) {
        addPlanet(world, i);
    }
    world.planets()[1]->markHit();
    world.planets()[4]->markHit();
    int now = kStartMs;
    for (int step = 0; step < kSunSteps; ++step) {
        now += kSunStepMs;
        driveElapsedMilliseconds(now);
        world.update(kUpdateSeconds);
    }
    for (int i = kFormedPlanets; i < kPlanets; ++i) {
        addPlanet(world, i);
    }
    currentScreen = GameScreen::Playing;
    driveElapsedMilliseconds(now + 16);
    getGame().drawFrame();
}

// Pixels whose colour is off by more than the tolerance in some channel.
int pixelsOffBy(const Picture& shown, const Picture& reference, int tolerance) {
    int off = 0;
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                if (std::abs(shown.at(x, y)[c] - reference.at(x, y)[c]) > tolerance) {
                    ++off;
                    break;
                }
            }
        }
    }
    return off;
}

class PlayFrame : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        driveElapsedMilliseconds(kStartMs);
        seedRandom(kSceneSeed);
        getGame().init();
        getGameRules().start();
        getGame().drawFrame(); // the title's first frame sets the world out and loads the rest
    }
    void TearDown() override {
        releaseElapsedMilliseconds();
        currentScreen = GameScreen::Title;
    }
};

} // namespace

TEST_F(PlayFrame, TwelvePlanetsLookAsTheyAlwaysHave) {
    playTwelvePlanets();
    const Picture shown = pictureOfBackBuffer(); // the swap leaves the frame in place
    if (std::getenv("VANTOREL_WRITE_REFERENCE")) {
        ASSERT_TRUE(writePng(shown, kReference));
        GTEST_SKIP() << "wrote " << kReference;
    }
    const Picture reference = readPng(kReference);
    ASSERT_EQ(reference.width, shown.width);
    ASSERT_EQ(reference.height, shown.height);
    EXPECT_EQ(pixelsOffBy(shown, reference, kTolerance), 0);
}
