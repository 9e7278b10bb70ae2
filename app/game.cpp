#include "app/game.h"

#include "app/camera.h"
#include "app/record_keeper.h"
#include "app/replay_recorder.h"
#include "audio/sound_manager.h"
#include "clock/elapsed_time.h"
#include "platform/platform.h"
#include "render/hud.h"
#include "render/screen_set.h"
#include "render/world_painter.h"
#include "world/field_bounds.h"
#include "world/game_rules.h"
#include "world/game_screen.h"
#include "world/world.h"

#include <GL/glut.h>

namespace {

constexpr const char* kWindSound = "./sound/hollowwind.mp3";

bool loadingFinished = false; // the singletons it fills are the process's own

// Everything lies on the plane z = 0 and is drawn back to front, so a depth
// test would decide nothing: the window has no depth buffer, and a software
// renderer would still read and write the depth of every pixel drawn.
void setFixedGlState() {
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT, GL_FILL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glDisable(GL_DEPTH_TEST);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
}

void playWorldSound(SoundId id) {
    getSoundManager().play(id);
}

void finishLoadingGame() {
    getGame().finishLoading();
}

} // namespace

// Only what the first title frame needs; a font that cannot be read still ends
// the program before anything shows.
bool Game::init() {
    setFixedGlState();
    ScreenSet& screens = getScreenSet();
    screens.loadTitle();
    screens.setBounds(kFieldTop, kFieldRight, kFieldBottom, kFieldLeft);
    getHud().loadFont();
    setSoundSink(playWorldSound);
    return true;
}

// The rest loads behind the first title frame, once it shows, which it then
// does in about half the time; the title waits for a click anyway. The
// instructions and the backdrop are read when they are first drawn, each in
// the place of the picture before it.
void Game::finishLoading() {
    if (loadingFinished) {
        return;
    }
    loadingFinished = true;
    SoundManager& sound = getSoundManager();
    sound.load();
    sound.playStream(kWindSound);
    getWorldPainter().load();
}

// The frame's one clock reading is taken here, and recorded with the input
// that came before it.
void Game::runFrame() {
    ReplayRecorder& recorder = getReplayRecorder();
    recorder.recordFrame(takeElapsedMilliseconds());
    getGameRules().frame();
    recorder.afterFrame(getWorld());
}

void Game::drawFrame() {
    runFrame();
    if (getGameRules().stalled()) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    glPushMatrix();
    drawScreen();
    glPopMatrix();
    if (!loadingFinished) {
        whenFrameShown(finishLoadingGame);
    }
}

void Game::redrawFrame() {
    glPushMatrix();
    drawScreen();
    glPopMatrix();
}

void Game::drawScreen() {
    if (currentScreen == GameScreen::Playing) {
        drawPlayFrame();
    } else {
        drawMenuFrame();
    }
    getCamera().paintBars();
    glutSwapBuffers();
}

void Game::drawMenuFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (currentScreen == GameScreen::Title) {
        getScreenSet().drawTitle();
    } else {
        getScreenSet().drawInstructions();
    }
}

void Game::drawPlayFrame() {
    getCamera().apply();
    getScreenSet().drawBackdrop();
    const World& world = getWorld();
    getWorldPainter().draw(world);
    getRecordKeeper().afterDraw(world);
    Hud& hud = getHud();
    hud.setPlanetsFormed(world.planetsFormed());
    hud.draw();
}

Game& getGame() {
    static Game* const game = new Game();
    return *game;
}
