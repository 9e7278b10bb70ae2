#include "app/input_manager.h"

#include "app/camera.h"
#include "app/replay_recorder.h"
#include "platform/platform.h"
#include "world/game_rules.h"

#include <GL/glut.h>

namespace {

static_assert(GameRules::kLeftButton == GLUT_LEFT_BUTTON && GameRules::kPressed == GLUT_DOWN &&
                  GameRules::kReleased == GLUT_UP,
              "the rules number the mouse as GLUT does, and recordings keep GLUT's numbers");

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

} // namespace

void InputManager::onMotion(int x, int y) {
    setPointer(x, y);
}

void InputManager::onPassiveMotion(int x, int y) {
    setPointer(x, y);
}

// The menus are still pictures, drawn only when asked for.
void InputManager::onMouse(int button, int state, int, int) {
    GameRules& rules = getGameRules();
    getReplayRecorder().recordButton(button, state, rules.pointerX(), rules.pointerY());
    const GameRules::Outcome outcome = rules.applyButton(button, state);
    if (outcome == GameRules::Outcome::PlayBegan) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    if (outcome != GameRules::Outcome::Nothing) {
        glutPostRedisplay();
    }
}

// Keys play no part in the game; Escape only takes a full screen window back.
void InputManager::onKeyboard(unsigned char key, int, int) {
    if (key == kEscape) {
        leaveFullScreen();
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
    const float fieldX = static_cast<float>(camera.halfHeight() * nx - camera.viewX());
    const float fieldY = static_cast<float>(camera.halfHeight() * ny - camera.viewY());
    getGameRules().setPointer(fieldX, fieldY);
    getReplayRecorder().recordPointer(fieldX, fieldY);
}

float InputManager::pointerX() const {
    return getGameRules().pointerX();
}

float InputManager::pointerY() const {
    return getGameRules().pointerY();
}

InputManager& getInputManager() {
    static InputManager* const input = new InputManager();
    return *input;
}
