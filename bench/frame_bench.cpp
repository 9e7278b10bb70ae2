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

// The least a frame can cost here: one full-window textured quad and a swap.
void bareFrame(benchmark::State& state) {
    loadGameOnce();
    const int texture = loadTexture("./images/background.tga", false, false);
    const int list = newSpriteList();
    for (auto _ : state) {
        getCamera().apply();
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
        glPushMatrix();
        glTranslatef(0.0f, 37.5f, 0.0f);
        glScalef(100.0f, 75.0f, 1.0f);
        glCallList(static_cast<GLuint>(list));
        glPopMatrix();
        glDisable(GL_TEXTURE_2D);
        glutSwapBuffers();
        glFinish();
    }
}

} // namespace

BENCHMARK(bareFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(playFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
