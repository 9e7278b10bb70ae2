#pragma once

// Mouse input: the pointer in world units, the screen sequence, and every other
// button event routed to the ship or, once a game is over, to its restart. The
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

    void setPointer(double x, double y);
    // A replay gives back the pointer in field units, past the window's mapping,
    // and its button events; a recording gets both from the calls above.
    void placePointer(float x, float y);
    void applyButton(int button, int state);
    float pointerX() const { return pointerX_; }
    float pointerY() const { return pointerY_; }

private:
    bool spentOnRestart(int button, int state);

    float pointerX_ = 0.0f;
    float pointerY_ = 0.0f;
    // The left button went down to restart a finished game and is not up yet.
    bool restartClickHeld_ = false;
};

InputManager& getInputManager();

// Hands a button event to the world: a restart request while the game is over,
// otherwise the ship's button state and target.
void routeButton(float worldX, float worldY, bool leftPressed);
