// What a player sees of each body ends where the rules say it ends: its
// picture, drawn as play draws it, shows opaque out to its contact radius and
// no further, so that contact looks like contact.

#include "clock/elapsed_time.h"
#include "render/sprite_list.h"
#include "support/body_drawing.h"
#include "support/frame_ink.h"
#include "support/gl_context.h"
#include "world/landmarks.h"
#include "world/planet.h"
#include "world/ship.h"
#include "world/sun.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

namespace {

constexpr int kLoadedAt = 10000;
constexpr int kSunStepMs = 501;
constexpr int kSunStepsToItsOtherLayer = 10;
constexpr int kFormedAfterMs = 2001;
constexpr double kShown = 0.5; // a pixel at least half covered shows the body
constexpr double kTolerancePixels = 1.0;
constexpr double kRayStepPixels = 0.25;

// How much of a pixel a drawing covers, 0 to 1, whatever its colours: over black
// and over white it differs by what shows through it. Interpolated between pixel centres.
class Coverage {
public:
    explicit Coverage(const std::function<void()>& draw)
        : black_(drawnOver(0.0f, draw)), white_(drawnOver(1.0f, draw)) {}

    double at(double x, double y) const {
        const int ix = static_cast<int>(std::floor(x - 0.5));
        const int iy = static_cast<int>(std::floor(y - 0.5));
        const double fx = x - 0.5 - ix;
        const double fy = y - 0.5 - iy;
        return (1 - fy) * ((1 - fx) * pixel(ix, iy) + fx * pixel(ix + 1, iy)) +
               fy * ((1 - fx) * pixel(ix, iy + 1) + fx * pixel(ix + 1, iy + 1));
    }

private:
    static Frame drawnOver(float grey, const std::function<void()>& draw) {
        glClearColor(grey, grey, grey, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw();
        return readFrame();
    }
    double pixel(int x, int y) const {
        return 1.0 - (white_.at(x, y)[1] - black_.at(x, y)[1]) / 255.0;
    }

    const Frame black_;
    const Frame white_;
};

// Whether the drawing shows out to radius pixels from the world point (x, y) in
// every direction, and no further: each ray ends where its outermost shown part ends.
::testing::AssertionResult showsOutTo(const std::function<void()>& draw, float x, float y,
                                      float radius) {
    const Coverage coverage(draw);
    const WindowPoint centre = projectToWindow(x, y);
    const double rim = projectToWindow(x + radius, y).x - centre.x;
    for (int degrees = 0; degrees < 360; degrees += 5) {
        const double dx = std::cos(degrees * M_PI / 180.0);
        const double dy = std::sin(degrees * M_PI / 180.0);
        double edge = 0.0; // past the corners of the body's square, nothing is drawn
        for (double t = kRayStepPixels; t < 1.5 * rim; t += kRayStepPixels) {
            const double inner = coverage.at(centre.x + (t - kRayStepPixels) * dx,
                                             centre.y + (t - kRayStepPixels) * dy);
            const double outer = coverage.at(centre.x + t * dx, centre.y + t * dy);
            if (inner >= kShown && outer < kShown) {
                edge = t - kRayStepPixels * (kShown - outer) / (inner - outer);
            }
        }
        if (std::abs(edge - rim) > kTolerancePixels) {
            return ::testing::AssertionFailure() << "shows " << edge << " px out at " << degrees
                                                 << " degrees, where contact is at " << rim;
        }
    }
    return ::testing::AssertionSuccess();
}

// The bodies read the clock when they load and update, and their pictures from
// ./images/, as in the game (tests run from the project folder).
class BodyOutline : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        driveElapsedMilliseconds(kLoadedAt);
    }
    void TearDown() override {
        releaseElapsedMilliseconds();
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    }
};

} // namespace

TEST_F(BodyOutline, EveryBodyShowsOpaqueOutToItsContactRadius) {
    std::array<Sun, 3> suns; // alone, half way to the other layer, on the other layer
    for (Sun& sun : suns) {
        sun.start();
    }
    for (int step = 1; step <= kSunStepsToItsOtherLayer; ++step) {
        driveElapsedMilliseconds(kLoadedAt + step * kSunStepMs);
        suns[2].update(0.0f);
        if (step <= kSunStepsToItsOtherLayer / 2) {
            suns[1].update(0.0f);
        }
    }
    ASSERT_GT(suns[2].glowAlpha(), 0.99f);
    std::array<Ship, 2> ships; // the ship and its wreck
    ships[1].setDead(true);
    const float sizes[] = {4.0f, 10.0f, 3.0f, 10.0f, 3.0f, 7.5f}; // forming, formed, worn
    std::array<Planet, 6> planets;
    driveElapsedMilliseconds(kLoadedAt);
    for (std::size_t i = 0; i < planets.size(); ++i) {
        planets[i].setSize(sizes[i]);
        planets[i].form();
    }
    planets[4].markHit();
    planets[5].markHit();
    driveElapsedMilliseconds(kLoadedAt + kFormedAfterMs);
    for (std::size_t i = 2; i < planets.size(); ++i) {
        planets[i].update(0.0f);
    }
    ASSERT_TRUE(!planets[1].formed() && planets[2].formed());

    const Landmark sun = kSystemCentre;
    for (const Sun& layers : suns) {
        EXPECT_TRUE(showsOutTo([&] { drawBody(layers); }, sun.x, sun.y, layers.radius()));
    }
    for (const Ship& ship : ships) {
        EXPECT_TRUE(showsOutTo([&] { drawBody(ship); }, ship.x(), ship.y(), ship.radius()))
            << (ship.dead() ? "the wreck" : "the ship");
    }
    for (const Planet& planet : planets) {
        EXPECT_TRUE(showsOutTo([&] { drawBody(planet); }, planet.x(), planet.y(), planet.radius()))
            << "size " << planet.size() << (planet.formed() ? "" : ", forming");
    }
}

// The check fails on a body that stops short of its contact radius, and on a
// plain square, whose corners reach past it.
TEST_F(BodyOutline, TheCheckSeesABodyCutShortAndASquaresCorners) {
    Planet planet;
    planet.setSize(4.0f);
    planet.form();
    EXPECT_FALSE(showsOutTo([&] { drawBody(planet); }, planet.x(), planet.y(), 2.2f));
    const int square = newSpriteList();
    EXPECT_FALSE(showsOutTo([&] { drawSpriteList(square, 0.0f, 40.0f, 0.0f, 4.0f, 0.0f); }, 0.0f,
                            40.0f, 2.0f));
    glDeleteLists(static_cast<GLuint>(square), 1);
}
