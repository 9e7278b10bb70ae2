#include "app/game.h"

#include "clock/elapsed_time.h"
#include "render/texture_manager.h"
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

void drawRedSquareNearTheCamera() {
    glDisable(GL_CULL_FACE);
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3f(-10.0f, 30.0f, 10.0f);
    glVertex3f(10.0f, 30.0f, 10.0f);
    glVertex3f(10.0f, 45.0f, 10.0f);
    glVertex3f(-10.0f, 45.0f, 10.0f);
    glEnd();
    glEnable(GL_CULL_FACE);
}

} // namespace

// Play draws no clear of its own and leaves the depth buffer alone, so a frame
// whose time was cut short clears both buffers before it draws.
TEST_F(GameClock, AStalledFrameClearsBothBuffers) {
    Game game;
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

// There is no way back to the menus: their pictures go once play is drawn.
TEST_F(GameClock, PlayLetsGoOfTheMenuPicturesAndKeepsTheBackdrop) {
    Game& game = getGame();
    game.init();
    game.finishLoading();
    const auto texture = [](const char* file) {
        return static_cast<GLuint>(loadTexture(file, false, false)); // the cached name
    };
    const GLuint title = texture("./images/titlescreen.tga");
    const GLuint instructions = texture("./images/instructions.tga");
    const GLuint backdrop = texture("./images/background.tga");
    currentScreen = GameScreen::Playing;
    game.drawFrame();
    EXPECT_FALSE(glIsTexture(title));
    EXPECT_FALSE(glIsTexture(instructions));
    EXPECT_TRUE(glIsTexture(backdrop));
}
