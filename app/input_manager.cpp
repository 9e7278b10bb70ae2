#include "app/input_manager.h"

#include "app/camera.h"
#include "app/game_screen.h"
#include "app/game_window.h"
#include "app/replay_recorder.h"
#include "world/world.h"

#include <GL/glut.h>

namespace {

// freeglut reports the wheel as presses of these extra buttons.
constexpr int kWheelUp = 3;
constexpr int kWheelDown = 4;

bool isWheel(int button) {
    return button == kWheelUp || button == kWheelDown;
}

double clamped(double value, int limit) {
    if (value < 0.0) {
        return 0.0;
    }
    if (value > limit) {
        return limit;
    }
    return value;
}

constexpr unsigned char kEscape = 27;

// A press on a menu screen moves on to the next one; returns whether it did.
// The menus are still pictures, drawn only when asked for.
bool advanceScreen() {
    if (currentScreen == GameScreen::Title) {
        currentScreen = GameScreen::Instructions;
        glutPostRedisplay();
        return true;
    }
    if (currentScreen == GameScreen::Instructions) {
        currentScreen = GameScreen::Playing;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glutPostRedisplay();
        return true;
    }
    return false;
}

} // namespace

void InputManager::onMotion(int x, int y) {
    setPointer(x, y);
}

void InputManager::onPassiveMotion(int x, int y) {
    setPointer(x, y);
}

void InputManager::onMouse(int button, int state, int, int) {
    getReplayRecorder().recordButton(button, state, pointerX_, pointerY_);
    applyButton(button, state);
}

void InputManager::applyButton(int button, int state) {
    if (isWheel(button)) {
        return; // scrolling neither skips the instructions nor steers
    }
    if (state == GLUT_DOWN && advanceScreen()) {
        return;
    }
    if (spentOnRestart(button, state)) {
        return;
    }
    const bool leftPressed = button == GLUT_LEFT_BUTTON && state == GLUT_DOWN;
    routeButton(pointerX_, pointerY_, leftPressed);
}

// The click that restarts a game is used up by the restart: its release must not
// steer the new ship, whether it comes before or after the restart. A left press
// starts a click afresh, in case a release was never delivered.
bool InputManager::spentOnRestart(int button, int state) {
    if (button != GLUT_LEFT_BUTTON) {
        return false;
    }
    if (state == GLUT_DOWN) {
        restartClickHeld_ = getWorld().isGameOver();
        return false;
    }
    const bool spent = restartClickHeld_;
    restartClickHeld_ = false;
    return spent;
}

// Keys play no part in the game; Escape only takes a full screen window back.
void InputManager::onKeyboard(unsigned char key, int, int) {
    if (key == kEscape) {
        getGameWindow().leaveFullScreen();
    }
}
void InputManager::onKeyboardUp(unsigned char, int, int) {}
void InputManager::onSpecial(int, int, int) {}
void InputManager::onSpecialUp(int, int, int) {}

void InputManager::setPointer(double x, double y) {
    const Camera& camera = getCamera();
    const Camera::FieldArea& field = camera.field();
    if (field.height == 0) {
        return; // no window size yet: the mapping would divide by zero
    }
    x = clamped(x - field.x, field.width);
    y = clamped(y - field.y, field.height);
    const int halfWidth = field.width / 2;
    const int halfHeight = field.height / 2;
    const float dx = static_cast<float>(x - halfWidth);
    const float dy = static_cast<float>(y - halfHeight);
    const double nx = static_cast<double>(dx) / halfHeight;
    const double ny = -static_cast<double>(dy) / halfHeight;
    pointerX_ = static_cast<float>(camera.halfHeight() * nx - camera.viewX());
    pointerY_ = static_cast<float>(camera.halfHeight() * ny - camera.viewY());
    getReplayRecorder().recordPointer(pointerX_, pointerY_);
}

void InputManager::placePointer(float x, float y) {
    pointerX_ = x;
    pointerY_ = y;
}

InputManager& getInputManager() {
    static InputManager* const input = new InputManager();
    return *input;
}

void routeButton(float worldX, float worldY, bool leftPressed) {
    World& world = getWorld();
    if (world.isGameOver()) {
        world.setRestartRequested(leftPressed);
        return;
    }
    Ship& ship = world.ship();
    ship.setButtonHeld(leftPressed);
    ship.setTarget(worldX, worldY);
}
