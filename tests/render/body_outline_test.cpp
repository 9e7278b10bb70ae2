// What a player sees of each body ends where the rules say it ends: its
// picture, drawn as play draws it, shows opaque out to its contact radius and
// no further, so that contact looks like contact.

#include "clock/elapsed_time.h"
#include "render/sprite_list.h"
#include "render/texture_manager.h"
#include "support/body_drawing.h"
#include "support/frame_ink.h"
#include "support/gl_context.h"
#include "support/tga_file.h"
#include "world/landmarks.h"
#include "world/planet.h"
#include "world/ship.h"
#include "world/sun.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kLoadedAt = 10000;
constexpr int kSunStepMs = 501;
constexpr int kSunStepsToItsOtherLayer = 10;
constexpr int kFormedAfterMs = 2001;
// A pixel at least half covered by a body shows the body.
constexpr double kShown = 0.5;
constexpr double kTolerancePixels = 1.0;
constexpr int kRays = 72;
constexpr double kRayStepPixels = 0.25;
// Rays run this far past the contact radius, into the sprite's corners.
constexpr double kRayReach = 1.6;

// How much of each pixel a drawing covers, from 0 to 1, whatever its colours:
// the drawing over black and over white differ by what shows through it.
class Coverage {
public:
    explicit Coverage(const std::function<void()>& draw)
        : overBlack_(drawnOver(0.0f, draw)), overWhite_(drawnOver(1.0f, draw)) {}

    // Between pixel centres, interpolated; nothing outside the window.
    double at(double x, double y) const {
        const double left = std::floor(x - 0.5);
        const double bottom = std::floor(y - 0.5);
        const double fx = x - 0.5 - left;
        const double fy = y - 0.5 - bottom;
        const int ix = static_cast<int>(left);
        const int iy = static_cast<int>(bottom);
        return (1.0 - fy) * ((1.0 - fx) * ofPixel(ix, iy) + fx * ofPixel(ix + 1, iy)) +
               fy * ((1.0 - fx) * ofPixel(ix, iy + 1) + fx * ofPixel(ix + 1, iy + 1));
    }

private:
    static Frame drawnOver(float grey, const std::function<void()>& draw) {
        glClearColor(grey, grey, grey, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw();
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        return readFrame();
    }

    double ofPixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= overBlack_.width || y >= overBlack_.height) {
            return 0.0;
        }
        double seeThrough = 0.0;
        for (int c = 0; c < 3; ++c) {
            seeThrough += overWhite_.at(x, y)[c] - overBlack_.at(x, y)[c];
        }
        return 1.0 - seeThrough / (3.0 * 255.0);
    }

    const Frame overBlack_;
    const Frame overWhite_;
};

// The nearest and the farthest the drawing shows from a centre, over rays in
// every direction; each ray ends where its outermost shown part ends.
struct VisibleEdge {
    double nearest = 0.0;
    double farthest = 0.0;
};

double outermostShown(const Coverage& coverage, const WindowPoint& centre, double angle,
                      double reach) {
    const double dx = std::cos(angle);
    const double dy = std::sin(angle);
    double edge = 0.0;
    double previous = coverage.at(centre.x, centre.y);
    for (double t = kRayStepPixels; t <= reach; t += kRayStepPixels) {
        const double now = coverage.at(centre.x + t * dx, centre.y + t * dy);
        if (previous >= kShown && now < kShown) {
            edge = t - kRayStepPixels * (kShown - now) / (previous - now);
        }
        previous = now;
    }
    return edge;
}

VisibleEdge visibleEdgeOf(const std::function<void()>& draw, const WindowPoint& centre,
                          double radiusPixels) {
    const Coverage coverage(draw);
    VisibleEdge edge{radiusPixels * kRayReach, 0.0};
    for (int ray = 0; ray < kRays; ++ray) {
        const double angle = 2.0 * M_PI * ray / kRays;
        const double shown = outermostShown(coverage, centre, angle, radiusPixels * kRayReach);
        edge.nearest = std::min(edge.nearest, shown);
        edge.farthest = std::max(edge.farthest, shown);
    }
    return edge;
}

::testing::AssertionResult endsAt(const VisibleEdge& edge, double radiusPixels) {
    if (std::abs(edge.nearest - radiusPixels) <= kTolerancePixels &&
        std::abs(edge.farthest - radiusPixels) <= kTolerancePixels) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "shows from " << edge.nearest << " to " << edge.farthest
           << " px from its centre, where it makes contact at " << radiusPixels << " px";
}

// A drawing of something round about the world point (x, y).
struct Outline {
    std::string what;
    float x;
    float y;
    float contactRadius;
    std::function<void()> draw;
};

::testing::AssertionResult showsItsContactRadius(const Outline& outline) {
    const WindowPoint centre = projectToWindow(outline.x, outline.y);
    const WindowPoint rim = projectToWindow(outline.x + outline.contactRadius, outline.y);
    const double radiusPixels = rim.x - centre.x;
    return endsAt(visibleEdgeOf(outline.draw, centre, radiusPixels), radiusPixels);
}

// A picture of a white disc filling share of its square, as a TGA file.
std::vector<std::uint8_t> discPicture(int side, double share) {
    std::vector<std::uint8_t> texels;
    const double half = side / 2.0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const bool inside = std::hypot(x + 0.5 - half, y + 0.5 - half) <= share * half;
            texels.insert(texels.end(),
                          {255, 255, 255, static_cast<std::uint8_t>(inside ? 255 : 0)});
        }
    }
    return tga::file(tga::kUncompressedColour, side, side, 32, tga::kTopRowFirst | 8, texels);
}

// The bodies read the elapsed-time clock when they load and update, and the
// pictures from ./images/, as the game does (tests run from the project folder).
class BodyOutline : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        driveElapsedMilliseconds(kLoadedAt);
    }
    void TearDown() override { releaseElapsedMilliseconds(); }

    static Planet planetAt(float x, float y, float size) {
        Planet planet;
        planet.setX(x);
        planet.setY(y);
        planet.computePolarAngle(x, y);
        planet.setSize(size);
        planet.load();
        return planet;
    }
};

} // namespace

TEST_F(BodyOutline, EveryBodyShowsOpaqueOutToItsContactRadius) {
    Sun sun;
    sun.load();
    Sun fadingSun;
    fadingSun.load();
    Sun otherLayerSun;
    otherLayerSun.load();
    int now = kLoadedAt;
    for (int step = 1; step <= kSunStepsToItsOtherLayer; ++step) {
        now += kSunStepMs;
        driveElapsedMilliseconds(now);
        otherLayerSun.update(0.0f);
        if (step <= kSunStepsToItsOtherLayer / 2) {
            fadingSun.update(0.0f);
        }
    }
    ASSERT_LT(otherLayerSun.alpha(), 0.01f);
    ASSERT_GT(otherLayerSun.glowAlpha(), 0.99f);

    Ship ship;
    ship.load();
    ship.setX(-30.0f);
    ship.setY(40.0f);
    Ship wreck;
    wreck.load();
    wreck.setX(-30.0f);
    wreck.setY(40.0f);
    wreck.setDead(true);

    std::vector<Planet> planets;
    planets.push_back(planetAt(20.0f, 40.0f, 4.0f));  // forming
    planets.push_back(planetAt(20.0f, 40.0f, 10.0f)); // forming, as large as any
    planets.push_back(planetAt(20.0f, 40.0f, 4.0f));
    planets.push_back(planetAt(20.0f, 40.0f, 10.0f));
    planets.push_back(planetAt(20.0f, 40.0f, 3.0f));
    planets.push_back(planetAt(20.0f, 40.0f, 7.5f));
    planets[4].markHit();
    planets[5].markHit();
    driveElapsedMilliseconds(now + kFormedAfterMs);
    for (std::size_t i = 2; i < planets.size(); ++i) {
        planets[i].update(0.0f);
    }
    ASSERT_FALSE(planets[0].formed());
    ASSERT_TRUE(planets[2].formed());

    const std::vector<Outline> outlines = {
        {"the sun, its first layer alone", kSystemCentre.x, kSystemCentre.y, sun.radius(),
         [&] { drawBody(sun); }},
        {"the sun, half way between its layers", kSystemCentre.x, kSystemCentre.y, sun.radius(),
         [&] { drawBody(fadingSun); }},
        {"the sun, its second layer alone", kSystemCentre.x, kSystemCentre.y, sun.radius(),
         [&] { drawBody(otherLayerSun); }},
        {"the ship", ship.x(), ship.y(), ship.radius(), [&] { drawBody(ship); }},
        {"the wreck", wreck.x(), wreck.y(), wreck.radius(), [&] { drawBody(wreck); }},
        {"a small planet forming", 20.0f, 40.0f, planets[0].radius(),
         [&] { drawBody(planets[0]); }},
        {"a large planet forming", 20.0f, 40.0f, planets[1].radius(),
         [&] { drawBody(planets[1]); }},
        {"a small planet", 20.0f, 40.0f, planets[2].radius(), [&] { drawBody(planets[2]); }},
        {"a large planet", 20.0f, 40.0f, planets[3].radius(), [&] { drawBody(planets[3]); }},
        {"a worn small planet", 20.0f, 40.0f, planets[4].radius(), [&] { drawBody(planets[4]); }},
        {"a worn planet", 20.0f, 40.0f, planets[5].radius(), [&] { drawBody(planets[5]); }},
    };
    for (const Outline& outline : outlines) {
        EXPECT_TRUE(showsItsContactRadius(outline)) << outline.what;
    }
}

// The check above fails on a picture whose visible body stops short of its
// square's edge, and on a square with nothing cut away from its corners.
TEST_F(BodyOutline, TheCheckSeesAShortDiscAndASquaresCorners) {
    const tga::TempDirectory folder;
    const std::string shortDisc = folder.write("short.tga", discPicture(64, 0.66));
    const int texture = loadTexture(shortDisc.c_str(), false, false);
    ASSERT_NE(texture, 0);
    const int list = newSpriteList();
    const auto drawSquare = [&](bool withPicture) {
        beginSpriteDrawing();
        if (!withPicture) {
            glDisable(GL_TEXTURE_2D);
        }
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
        drawSpriteList(list, 0.0f, 40.0f, 0.0f, 8.0f, 0.0f);
        endSpriteDrawing();
    };
    EXPECT_FALSE(
        showsItsContactRadius({"a short disc", 0.0f, 40.0f, 4.0f, [&] { drawSquare(true); }}));
    EXPECT_FALSE(
        showsItsContactRadius({"a square", 0.0f, 40.0f, 4.0f, [&] { drawSquare(false); }}));
    EXPECT_TRUE(showsItsContactRadius(
        {"a disc drawn to the square's edge", 0.0f, 40.0f, 2.64f, [&] { drawSquare(true); }}))
        << "the short disc, measured against its own radius";
    releaseTexture(texture);
    glDeleteLists(static_cast<GLuint>(list), 1);
}
