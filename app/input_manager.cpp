#include "app/input_manager.h"

#include "app/game_screen.h"

#include <GL/glut.h>

// Stand-in until the world lands: presses walk through the screens only.

void InputManager::onMotion(int x, int y) {
    setPointer(x, y);
}

void InputManager::onPassiveMotion(int x, int y) {
    setPointer(x, y);
}

void InputManager::onMouse(int, int state, int, int) {
    if (state != GLUT_DOWN) {
        return;
    }
    if (currentScreen == GameScreen::Title) {
        currentScreen = GameScreen::Instructions;
    } else if (currentScreen == GameScreen::Instructions) {
        currentScreen = GameScreen::Playing;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
}

void InputManager::onKeyboard(unsigned char, int, int) {}
void InputManager::onKeyboardUp(unsigned char, int, int) {}
void InputManager::onSpecial(int, int, int) {}
void InputManager::onSpecialUp(int, int, int) {}

void InputManager::setPointer(double, double) {}

InputManager& getInputManager() {
    static InputManager* const input = new InputManager();
    return *input;
}
