#include "app/input_manager.h"

#include "app/camera.h"
#include "clock/elapsed_time.h"
#include "support/gl_context.h"
#include "world/game_screen.h"
#include "world/world.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

namespace {

constexpr int kLostAtMs = 20000;

class Input : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        currentScreen = GameScreen::Playing;
        ship().setTarget(7.0f, 7.0f);
        ship().setButtonHeld(false);
    }
    void TearDown() override {
        currentScreen = GameScreen::Title;
        releaseElapsedMilliseconds();
    }

    static Ship& ship() { return getWorld().ship(); }

    // Sends the ship onto the sun and lets the lose image show.
    void loseToTheSun() {
        World& world = getWorld();
        world.restart(); // whatever an earlier test left over
        world.ship().setX(0.0f);
        world.ship().setY(46.0f);
        driveElapsedMilliseconds(kLostAtMs);
        world.update(0.0f);
        ASSERT_TRUE(world.isGameOver());
        world.update(0.0f); // the frame after the one that drew the lose picture
        driveElapsedMilliseconds(kLostAtMs + 500); // the end picture has stood its moment
        ship().setTarget(7.0f, 7.0f);
    }

    void press(int button) { input.onMouse(button, GLUT_DOWN, 0, 0); }
    void release(int button) { input.onMouse(button, GLUT_UP, 0, 0); }

    InputManager input;
};

} // namespace

TEST_F(Input, MapsWindowPixelsOntoThePlayField) {
    struct Case {
        int x, y;
        float worldX, worldY;
    };
    const Case cases[] = {
        {0, 0, -50.0f, 75.0f},         {1024, 768, 50.0f, 0.0f},    {512, 384, 0.0f, 37.5f},
        {-300, 400, -50.0f, 35.9375f}, {600, -50, 8.59375f, 75.0f}, {2000, 2000, 50.0f, 0.0f},
    };
    for (const Case& c : cases) {
        input.onPassiveMotion(c.x, c.y);
        EXPECT_NEAR(input.pointerX(), c.worldX, 1e-4f) << c.x << ", " << c.y;
        EXPECT_NEAR(input.pointerY(), c.worldY, 1e-4f) << c.x << ", " << c.y;
    }
    input.onMotion(256, 192);
    EXPECT_NEAR(input.pointerX(), -25.0f, 1e-4f);
    EXPECT_NEAR(input.pointerY(), 56.25f, 1e-4f);
}

TEST_F(Input, MapsAScaledOrLetterboxedFieldOntoThePlayField) {
    struct Case {
        bool fullScreen;
        int windowWidth, windowHeight;
        int x, y;
        float worldX, worldY;
    };
    const Case cases[] = {
        {false, 1536, 1152, 0, 0, -50.0f, 75.0f},
        {false, 1536, 1152, 1536, 1152, 50.0f, 0.0f},
        {true, 1280, 1024, 0, 32, -50.0f, 75.0f},
        {true, 1280, 1024, 1279, 991, 49.921875f, 0.078125f},
        {true, 1280, 1024, 640, 5, 0.0f, 75.0f},
        {true, 1920, 1080, 100, 540, -50.0f, 37.5f},
    };
    Camera& camera = getCamera();
    for (const Case& c : cases) {
        if (c.fullScreen) {
            camera.takeAnyWindowSize();
        } else {
            camera.keepWindowSize(WindowSize{c.windowWidth, c.windowHeight});
        }
        camera.reshape(c.windowWidth, c.windowHeight);
        input.onPassiveMotion(c.x, c.y);
        EXPECT_NEAR(input.pointerX(), c.worldX, 1e-4f) << c.x << ", " << c.y;
        EXPECT_NEAR(input.pointerY(), c.worldY, 1e-4f) << c.x << ", " << c.y;
    }
    camera.keepWindowSize(WindowSize{Camera::kWindowWidth, Camera::kWindowHeight});
}

TEST_F(Input, PressesWalkThroughTheMenusWithoutReachingTheShip) {
    currentScreen = GameScreen::Title;
    input.onPassiveMotion(100, 100);
    press(GLUT_RIGHT_BUTTON);
    EXPECT_EQ(currentScreen, GameScreen::Instructions);
    EXPECT_FALSE(ship().buttonHeld());
    EXPECT_FLOAT_EQ(ship().targetX(), 7.0f);

    press(GLUT_LEFT_BUTTON);
    EXPECT_EQ(currentScreen, GameScreen::Playing);
    EXPECT_FALSE(ship().buttonHeld());
    EXPECT_FLOAT_EQ(ship().targetX(), 7.0f);

    release(GLUT_LEFT_BUTTON); // the release that follows reaches the ship
    EXPECT_FALSE(ship().buttonHeld());
    EXPECT_FLOAT_EQ(ship().targetX(), input.pointerX());
    EXPECT_FLOAT_EQ(ship().targetY(), input.pointerY());
}

TEST_F(Input, TheWheelNeitherSkipsTheMenusNorSteers) {
    press(GLUT_LEFT_BUTTON); // held during play
    for (GameScreen screen : {GameScreen::Title, GameScreen::Playing}) {
        currentScreen = screen;
        input.onMouse(3, GLUT_DOWN, 0, 0);
        input.onMouse(4, GLUT_UP, 0, 0);
        EXPECT_EQ(currentScreen, screen);
        EXPECT_TRUE(ship().buttonHeld());
    }
}

TEST_F(Input, AClickBeforeAnyMotionAimsAtTheOrigin) {
    press(GLUT_LEFT_BUTTON);
    EXPECT_TRUE(ship().buttonHeld());
    EXPECT_FLOAT_EQ(ship().targetX(), 0.0f);
    EXPECT_FLOAT_EQ(ship().targetY(), 0.0f);
}

TEST_F(Input, ButtonsSteerTheShipDuringPlay) {
    input.onPassiveMotion(768, 192);
    press(GLUT_LEFT_BUTTON);
    EXPECT_TRUE(ship().buttonHeld());
    EXPECT_FLOAT_EQ(ship().targetX(), 25.0f);
    EXPECT_FLOAT_EQ(ship().targetY(), 56.25f);
    input.onMotion(256, 192);
    release(GLUT_LEFT_BUTTON);
    EXPECT_FALSE(ship().buttonHeld());
    EXPECT_FLOAT_EQ(ship().targetX(), -25.0f);
    press(GLUT_MIDDLE_BUTTON);
    EXPECT_FALSE(ship().buttonHeld());
}

TEST_F(Input, KeysDoNothing) {
    for (GameScreen screen : {GameScreen::Title, GameScreen::Instructions, GameScreen::Playing}) {
        currentScreen = screen;
        input.onKeyboard(27, 10, 10);
        input.onKeyboardUp(' ', 10, 10);
        input.onSpecial(GLUT_KEY_LEFT, 10, 10);
        input.onSpecialUp(GLUT_KEY_UP, 10, 10);
        EXPECT_EQ(currentScreen, screen);
        EXPECT_FLOAT_EQ(ship().targetX(), 7.0f);
        EXPECT_FALSE(ship().buttonHeld());
    }
}

TEST_F(Input, OverTheEndImageButtonsOnlyRequestARestart) {
    loseToTheSun();
    press(GLUT_RIGHT_BUTTON);
    EXPECT_FALSE(getWorld().restartRequested());
    press(GLUT_LEFT_BUTTON);
    release(GLUT_LEFT_BUTTON);
    press(GLUT_RIGHT_BUTTON); // nothing withdraws the request before the next frame
    EXPECT_TRUE(getWorld().restartRequested());
    EXPECT_FALSE(ship().buttonHeld());
    EXPECT_FLOAT_EQ(ship().targetX(), 7.0f);
}

// "Click to play again" is written just below the sun: the click on it, quick
// or held past the restart, must not send the new ship there.
TEST_F(Input, TheClickThatRestartsIsSpentOnTheRestart) {
    for (const bool quick : {true, false}) {
        SCOPED_TRACE(quick ? "quick" : "held past the restart");
        loseToTheSun();
        input.onPassiveMotion(512, 476); // (0, 32), below the sun
        press(GLUT_LEFT_BUTTON);
        if (quick) {
            release(GLUT_LEFT_BUTTON);
        }
        getWorld().update(0.1f);
        if (!quick) {
            release(GLUT_LEFT_BUTTON);
        }
        getWorld().update(0.1f);
        EXPECT_FALSE(getWorld().isGameOver());
        EXPECT_EQ(ship().y(), 48.0f);
        EXPECT_EQ(ship().targetY(), 48.0f) << "the click must not aim the ship";
    }
}

TEST(InputBeforeTheWindow, KeepsThePointerUntilTheWindowHasASize) {
    if (getCamera().height() != 0) {
        GTEST_SKIP() << "the camera was sized by an earlier test in this process";
    }
    InputManager input;
    input.onPassiveMotion(512, 384);
    EXPECT_EQ(input.pointerX(), 0.0f);
    EXPECT_EQ(input.pointerY(), 0.0f);
}
