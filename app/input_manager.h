#pragma once

// Mouse input: the pointer in world units, the screen sequence, and every other
// button event routed to the ship or, once a game is over, to its restart. The
// keyboard plays no part: only Escape, and only full screen, leaves full screen.
class InputManager {
public:
    void onMotion(int x, int y);
    void onPassiveMotion(int x, int y);
    void onMouse(int button, int state, int x, int y);
    void onKeyboard(unsigned char key, int x, int y);
    void onKeyboardUp(unsigned char key, int x, int y);
    void onSpecial(int key, int x, int y);
    void onSpecialUp(int key, int x, int y);

    void setPointer(double x, double y);
    float pointerX() const { return pointerX_; }
    float pointerY() const { return pointerY_; }

private:
    float pointerX_ = 0.0f;
    float pointerY_ = 0.0f;
};

InputManager& getInputManager();

// Hands a button event to the world: a restart request while the game is over,
// otherwise the ship's button state and target.
void routeButton(float worldX, float worldY, bool leftPressed);
