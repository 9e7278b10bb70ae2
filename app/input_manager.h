#pragma once

// Mouse input from the window: the pointer mapped from window pixels to field
// units, recorded, and handed with every button event to the game's rules. The
// wheel and the keyboard are not used: their events do nothing, but for Escape,
// which leaves full screen.
class InputManager {
public:
    void onMotion(int x, int y);
    void onPassiveMotion(int x, int y);
    void onMouse(int button, int state, int x, int y);
    void onKeyboard(unsigned char key, int x, int y);
    void onKeyboardUp(unsigned char key, int x, int y);
    void onSpecial(int key, int x, int y);
    void onSpecialUp(int key, int x, int y);

    // The pointer at window pixel (x, y), in field units.
    void setPointer(double x, double y);
    float pointerX() const;
    float pointerY() const;
};

InputManager& getInputManager();
