#include "app/game.h"

#include "app/game_screen.h"
#include "clock/elapsed_time.h"
#include "render/texture_manager.h"
#include "support/gl_context.h"
#include "world/world.h"
#include "world/world_digest.h"

#include <GL/gl.h>
#include <cstdint>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class GameClock : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        driveElapsedMilliseconds(10000);
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

TEST_F(GameClock, ClampsALongFrameAndClearsBothBuffers) {
    Game game;
    drawRedSquareNearTheCamera();
    ASSERT_EQ(pixelAt(512, 384)[1], 0);
    ASSERT_LT(depthAt(512, 384), 1.0f);

    driveElapsedMilliseconds(10500);
    game.tick();

    EXPECT_EQ(game.delta(), 0.12);
    EXPECT_EQ(pixelAt(512, 384)[1], 255);
    EXPECT_EQ(depthAt(512, 384), 1.0f);
}

TEST_F(GameClock, AnOrdinaryFrameKeepsItsTimeAndTheBuffers) {
    Game game;
    drawRedSquareNearTheCamera();
    driveElapsedMilliseconds(10120);
    game.tick();
    EXPECT_DOUBLE_EQ(game.delta(), 0.12);
    EXPECT_EQ(pixelAt(512, 384)[1], 0); // not above the limit: no clear
}

TEST_F(GameClock, TwoFramesInOneMillisecondAdvanceByNothing) {
    Game game;
    driveElapsedMilliseconds(10016);
    game.tick();
    game.tick();
    EXPECT_EQ(game.delta(), 0.0);
}

TEST_F(GameClock, PlayStartsItsClockAfreshAfterTheMenus) {
    Game game;
    const World& world = getWorld();
    const GasCloud& cloud = world.gasCloud();
    const float turned = cloud.rotation();
    currentScreen = GameScreen::Title;
    for (int ms = 10000; ms <= 15000; ms += 100) {
        driveElapsedMilliseconds(ms);
        game.drawFrame();
    }
    currentScreen = GameScreen::Instructions;
    driveElapsedMilliseconds(20000);
    game.drawFrame();

    EXPECT_EQ(cloud.rotation(), turned) << "the world stands still behind the menus";

    // The instructions are drawn only when shown: their last frame is long past.
    currentScreen = GameScreen::Playing;
    driveElapsedMilliseconds(60000);
    game.drawFrame();
    EXPECT_EQ(game.delta(), 0.0);
    EXPECT_EQ(cloud.rotation(), turned);
    driveElapsedMilliseconds(60016);
    game.drawFrame();
    EXPECT_DOUBLE_EQ(game.delta(), 0.016);
    EXPECT_NEAR(cloud.rotation() - turned, 40.0f * 0.016f, 1e-4f); // turns 40 degrees a second
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

// The title shows before the rest of the game has loaded; the first frame
// drawn loads it, once.
TEST_F(GameClock, TheFirstTitleFrameLoadsWhatTheTitleDoesNotShow) {
    const World& world = getWorld();
    const auto scattered = [&world] {
        return std::any_of(world.debris().begin(), world.debris().end(),
                           [](const auto& d) { return d->y() != 40.0f; });
    };
    if (scattered()) {
        GTEST_SKIP() << "the game was loaded earlier in this process";
    }
    Game& game = getGame();
    game.init();
    EXPECT_FALSE(scattered()) << "the debris wait at the centre until the world loads";
    currentScreen = GameScreen::Title;
    game.drawFrame();
    EXPECT_TRUE(scattered());
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
