#include "render/world_painter.h"

#include "clock/elapsed_time.h"
#include "support/body_drawing.h"
#include "support/gl_context.h"
#include "world/world.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

constexpr int kFormedAt = 5000;

// Each body drawn alone, without its picture, on a black window: its square
// shows exactly where and how large the painter draws it.
class PaintedBody : public BodyOnScreen {
protected:
    void SetUp() override {
        BodyOnScreen::SetUp();
        painter.load();
        clearToBlack();
        depth = modelviewStackDepth();
    }
    void TearDown() override { releaseElapsedMilliseconds(); }

    // What every draw promises: the matrix and the sprite state as it found them.
    void expectStateRestored() const {
        EXPECT_EQ(modelviewStackDepth(), depth);
        EXPECT_TRUE(spriteStateOff());
    }

    static int redAt(float x, float y) {
        const WindowPixel pixel = windowPixelOf(x, y);
        return pixelAt(pixel.x, pixel.y)[0];
    }

    WorldPainter painter;
    int depth = 0;
};

Planet formingPlanetAt(float x, float y, float size) {
    driveElapsedMilliseconds(kFormedAt);
    Planet planet;
    planet.setX(x);
    planet.setY(y);
    planet.computePolarAngle(x, y);
    planet.setSize(size);
    planet.form();
    return planet;
}

} // namespace

TEST_F(PaintedBody, TheShipIsItsFourUnitSquareAliveOrWrecked) {
    for (const bool dead : {false, true}) {
        SCOPED_TRACE(dead);
        clearToBlack();
        Ship ship;
        ship.setX(-20.0f);
        ship.setY(30.0f);
        ship.setDead(dead);
        painter.drawShip(ship);
        expectStateRestored();
        EXPECT_EQ(redAt(-20.0f, 30.0f), 255);
        EXPECT_EQ(redAt(-18.2f, 31.8f), 255);
        EXPECT_EQ(redAt(-17.5f, 30.0f), 0);
    }
}

TEST_F(PaintedBody, ADebrisWithinReachIsDrawnTurnedAboutTheShip) {
    // Turned by 180 degrees, a debris 2 units left of the ship shows 2 units right of it;
    // one 3.5 units away is out of reach, drawn where it lies.
    struct Case {
        float shipX, drawnX;
    };
    for (const Case& c : {Case{12.0f, 14.0f}, Case{13.5f, 10.0f}}) {
        SCOPED_TRACE(c.shipX);
        clearToBlack();
        Debris debris;
        debris.setX(10.0f);
        debris.setY(40.0f);
        debris.setTarget(c.shipX, 40.0f);
        debris.update(1.8f); // 180 degrees
        painter.drawDebris(debris);
        expectStateRestored();
        EXPECT_EQ(redAt(c.drawnX, 40.0f), 255);
        EXPECT_EQ(redAt(c.shipX, 40.0f), 0);
    }
}

TEST_F(PaintedBody, TheCloudIsItsTenUnitSquareAtSixtyPercent) {
    GasCloud cloud;
    cloud.setX(30.0f);
    cloud.setY(20.0f);
    cloud.update(1.125f); // 45 degrees: the corners reach 7.07 units out
    painter.drawGasCloud(cloud);
    expectStateRestored();
    EXPECT_NEAR(redAt(30.0f, 20.0f), 153, 2);
    EXPECT_NEAR(redAt(36.8f, 20.0f), 153, 2);
    EXPECT_EQ(redAt(34.9f, 24.9f), 0);
}

TEST_F(PaintedBody, APlanetIsWhiteWhileFormingThenInItsTint) {
    Planet planet = formingPlanetAt(10.0f, 40.0f, 4.0f);
    for (const bool formed : {false, true}) {
        SCOPED_TRACE(formed);
        driveElapsedMilliseconds(kFormedAt + (formed ? 2001 : 0));
        planet.update(0.0f);
        ASSERT_EQ(planet.formed(), formed);
        clearToBlack();
        painter.drawPlanet(planet);
        expectStateRestored();
        const WindowPixel centre = windowPixelOf(10.0f, 40.0f);
        const auto pixel = pixelAt(centre.x, centre.y);
        EXPECT_NEAR(pixel[0], formed ? planet.red() * 255.0f : 255.0f, 2.0f);
        EXPECT_NEAR(pixel[1], formed ? planet.green() * 255.0f : 255.0f, 2.0f);
        EXPECT_NEAR(pixel[2], formed ? planet.blue() * 255.0f : 255.0f, 2.0f);
    }
}

TEST_F(PaintedBody, APlanetIsDrawnTurnedAboutTheSunByItsOrbit) {
    Planet planet = formingPlanetAt(10.0f, 40.0f, 4.0f);
    planet.update(1.125f); // 90 degrees at size 4
    painter.drawPlanet(planet);
    EXPECT_EQ(redAt(10.0f, 40.0f), 0);
    EXPECT_EQ(redAt(0.0f, 50.0f), 255);
    EXPECT_EQ(redAt(0.0f, 51.8f), 255); // within the spinning square
}

TEST_F(PaintedBody, TheSunDrawsBothLayersWithTheirOpacities) {
    struct Case {
        int steps;
        int grey;
    };
    // Alone the first layer is opaque white; halfway, 0.5 over black then 0.5 over that.
    for (const Case& c : {Case{0, 255}, Case{5, 191}}) {
        SCOPED_TRACE(c.steps);
        int now = kFormedAt;
        driveElapsedMilliseconds(now);
        Sun sun;
        sun.start();
        for (int i = 0; i < c.steps; ++i) {
            now += 501; // one cross-fade step
            driveElapsedMilliseconds(now);
            sun.update(0.0f);
        }
        clearToBlack();
        painter.drawSun(sun);
        expectStateRestored();
        EXPECT_NEAR(redAt(0.0f, 40.0f), c.grey, 2);
        EXPECT_NEAR(redAt(3.8f, 43.8f), c.grey, 2);
        EXPECT_EQ(redAt(4.2f, 40.0f), 0);
    }
}

// The end pictures are held only while a game is over, one at a time.
class EndPictures : public GlTest {
protected:
    void TearDown() override { getWorld().ship().setDead(false); }
};

TEST_F(EndPictures, AreReadWhenTheyShowAndLetGoWhenPlayGoesOn) {
    WorldPainter painter;
    painter.load();
    World& world = getWorld();
    world.restart();
    painter.draw(world);
    EXPECT_EQ(painter.endPicture(), 0) << "none while the game goes on";

    world.ship().setDead(true);
    painter.draw(world);
    const GLuint lose = static_cast<GLuint>(painter.endPicture());
    ASSERT_NE(lose, 0u);
    EXPECT_TRUE(glIsTexture(lose));
    painter.draw(world);
    EXPECT_EQ(painter.endPicture(), static_cast<int>(lose)) << "read once";

    world.ship().setDead(false);
    painter.draw(world);
    EXPECT_EQ(painter.endPicture(), 0);
    EXPECT_FALSE(glIsTexture(lose));
}
