#include "app/camera.h"
#include "app/game.h"
#include "render/sprite_list.h"
#include "render/texture_manager.h"
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

// The floor: the least a frame can cost here, one opaque full-window textured
// quad and a swap. No depth test, no blending, no clear (the quad covers every
// pixel), and the identity for both matrices, so the quad's corners are the
// window's.
void bareFrame(benchmark::State& state) {
    loadGameOnce();
    const int texture = loadTexture("./images/background.tga", false, false);
    const int list = newSpriteList();
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
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    for (auto _ : state) {
        glCallList(static_cast<GLuint>(list));
        glutSwapBuffers();
        glFinish();
    }
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

BENCHMARK(bareFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(playFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
