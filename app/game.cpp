#include "app/game.h"

#include "app/camera.h"
#include "app/game_screen.h"
#include "app/record_keeper.h"
#include "app/replay_recorder.h"
#include "audio/sound_manager.h"
#include "clock/elapsed_time.h"
#include "render/field_bounds.h"
#include "render/hud.h"
#include "render/screen_set.h"
#include "world/world.h"

#include <GL/glut.h>

GameScreen currentScreen = GameScreen::Title;

namespace {

constexpr double kLongestFrameSeconds = 0.12;
constexpr const char* kWindSound = "./sound/hollowwind.mp3";

bool loadingFinished = false; // the singletons it fills are the process's own

void setFixedGlState() {
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT, GL_FILL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
}

} // namespace

Game::Game() : lastTimeMs_(elapsedMilliseconds()) {}

// Only what the first title frame needs; a font that cannot be read still ends
// the program before anything shows.
bool Game::init() {
    setFixedGlState();
    ScreenSet& screens = getScreenSet();
    screens.loadTitle();
    screens.setBounds(kFieldTop, kFieldRight, kFieldBottom, kFieldLeft);
    getHud().loadFont();
    currentScreen = GameScreen::Title;
    return true;
}

// The rest loads behind the first title frame, which then shows in about half
// the time; the title waits for a click anyway.
void Game::finishLoading() {
    if (loadingFinished) {
        return;
    }
    loadingFinished = true;
    getScreenSet().load();
    SoundManager& sound = getSoundManager();
    sound.load();
    sound.playStream(kWindSound);
    getWorld().load();
}

void Game::tick() {
    nowMs_ = elapsedMilliseconds();
    delta_ = static_cast<double>(nowMs_ - lastTimeMs_) / 1000.0;
    if (delta_ > kLongestFrameSeconds) {
        // A stall (window drag, slow disk) must never become one huge simulation step.
        delta_ = kLongestFrameSeconds;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    lastTimeMs_ = nowMs_;
}

void Game::update(double dt) {
    getWorld().update(static_cast<float>(dt));
}

// The frame's one clock reading is taken here, and recorded with the input
// that came before it.
void Game::drawFrame() {
    getReplayRecorder().recordFrame(takeElapsedMilliseconds());
    glPushMatrix();
    const bool playing = currentScreen == GameScreen::Playing;
    if (playing && !playedLastFrame_) {
        // The menus are drawn only when shown or exposed, so their last frame may
        // be long past: play starts the clock afresh, not from the menus' time.
        lastTimeMs_ = elapsedMilliseconds();
    }
    playedLastFrame_ = playing;
    tick();
    if (playing) {
        update(delta_);
    }
    drawScreen();
    glPopMatrix();
    finishLoading();
    if (playing) {
        getScreenSet().releaseMenus(); // play never goes back to them
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

// Everything in play lies on the plane z = 0 and is drawn back to front, so
// the depth test decides nothing there; a software renderer would still read
// and write the depth of every pixel drawn.
void Game::drawPlayFrame() {
    getCamera().apply();
    glDisable(GL_DEPTH_TEST);
    getScreenSet().drawBackdrop();
    getWorld().draw();
    getRecordKeeper().afterDraw(getWorld());
    getHud().draw();
    glEnable(GL_DEPTH_TEST);
}

Game& getGame() {
    static Game* const game = new Game();
    return *game;
}
