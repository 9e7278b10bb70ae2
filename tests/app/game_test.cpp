#include "app/game.h"

#include "clock/elapsed_time.h"
#include "support/gl_context.h"
#include "world/game_rules.h"
#include "world/game_screen.h"
#include "world/world.h"
#include "world/world_digest.h"

#include <GL/gl.h>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

class GameClock : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        driveElapsedMilliseconds(10000);
        getGameRules().start();
    }
    void TearDown() override {
        releaseElapsedMilliseconds();
        currentScreen = GameScreen::Title;
    }
};

// Drawn with the depth test, which the game's own drawing leaves off.
void drawRedSquareNearTheCamera() {
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3f(-10.0f, 30.0f, 10.0f);
    glVertex3f(10.0f, 30.0f, 10.0f);
    glVertex3f(10.0f, 45.0f, 10.0f);
    glVertex3f(-10.0f, 45.0f, 10.0f);
    glEnd();
    glEnable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
}

} // namespace

// Play draws no clear of its own and leaves the depth buffer alone, so a frame
// whose time was cut short clears both buffers before it draws.
TEST_F(GameClock, AStalledFrameClearsBothBuffers) {
    Game game;
    glDisable(GL_DEPTH_TEST);
    currentScreen = GameScreen::Playing;
    game.drawFrame();
    for (const int stepMs : {120, 500}) {
        SCOPED_TRACE(stepMs);
        drawRedSquareNearTheCamera();
        ASSERT_LT(depthAt(512, 384), 1.0f);
        driveElapsedMilliseconds(elapsedMilliseconds() + stepMs);
        game.drawFrame();
        EXPECT_EQ(depthAt(512, 384) == 1.0f, stepMs > 120);
    }
}

// A replay's window shown again between two recorded frames must not move the game.
TEST_F(GameClock, ARedrawShowsTheFrameAgainAndAdvancesNothing) {
    Game game;
    currentScreen = GameScreen::Playing;
    game.drawFrame();
    driveElapsedMilliseconds(10016);
    game.drawFrame();
    const std::uint64_t drawn = worldDigest(getWorld());
    const float cloudTurn = getWorld().gasCloud().rotation();
    driveElapsedMilliseconds(10100);
    game.redrawFrame();
    EXPECT_EQ(getWorld().gasCloud().rotation(), cloudTurn);
    EXPECT_EQ(worldDigest(getWorld()), drawn);
    game.drawFrame();
    EXPECT_NE(worldDigest(getWorld()), drawn) << "the next frame moves it again";
}

TEST_F(GameClock, FrameLeavesTheMatrixStackBalanced) {
    Game game;
    const int depth = modelviewStackDepth();
    for (GameScreen screen : {GameScreen::Title, GameScreen::Instructions, GameScreen::Playing}) {
        currentScreen = screen;
        game.drawFrame();
        EXPECT_EQ(modelviewStackDepth(), depth);
    }
}
