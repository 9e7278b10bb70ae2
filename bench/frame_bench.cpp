#include "app/camera.h"
#include "app/game.h"
#include "render/window_picture.h"
#include "world/game_screen.h"
#include "world/world.h"

#include <GL/glut.h>
#include <benchmark/benchmark.h>

namespace {

constexpr int kPlanetsOfAFullGame = 12;
constexpr float kClipSpaceSide = 2.0f; // the unit sprite scaled to cover -1 to 1

void loadGameOnce() {
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        getGame().init();
        getGame().finishLoading();
    }
}

// A whole play frame: the world update and draw of a game with twelve planets,
// the backdrop and the heads-up display, then the swap.
void playFrame(benchmark::State& state) {
    loadGameOnce();
    World& world = getWorld();
    world.restart();
    for (int i = 0; i < kPlanetsOfAFullGame; ++i) {
        Planet* planet = new Planet();
        world.addPlanet(planet);
        const float x = -40.0f + 7.0f * static_cast<float>(i);
        planet->setX(x);
        planet->setY(12.0f);
        planet->computePolarAngle(x, 12.0f);
        planet->setSize(5.0f);
        planet->form();
    }
    world.ship().setX(-48.0f);
    world.ship().setY(73.0f);
    currentScreen = GameScreen::Playing;
    for (auto _ : state) {
        getGame().drawFrame();
        glFinish();
    }
}

// A frame as play begins: the ship waiting above the sun, the debris strewn,
// the gas cloud, the counter at nought, over the backdrop; then the swap.
void startFrame(benchmark::State& state) {
    loadGameOnce();
    getWorld().restart();
    currentScreen = GameScreen::Playing;
    for (auto _ : state) {
        getGame().drawFrame();
        glFinish();
    }
}

// The floor: the least a frame can cost here, one opaque full-window textured
// quad and a swap. The quad is the backdrop as play lays it down, texel for
// pixel; no depth test, no blending, no clear (the quad covers every pixel),
// and the identity for both matrices, so the quad's corners are the window's.
void bareFrame(benchmark::State& state) {
    loadGameOnce();
    WindowPicture picture;
    picture.load("./images/background.tga", Camera::kWindowWidth, Camera::kWindowHeight);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScalef(kClipSpaceSide, kClipSpaceSide, 1.0f);
    glEnable(GL_TEXTURE_2D);
    for (auto _ : state) {
        glCallList(static_cast<GLuint>(picture.list()));
        glutSwapBuffers();
        glFinish();
    }
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    picture.release();
}

} // namespace

// Wall time, as the player waits for it, and the CPU time of every thread:
// the software renderer draws on threads of its own.
BENCHMARK(bareFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(startFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(playFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
