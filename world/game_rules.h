#pragma once

#include <cstdint>

class World;

// The rules of a whole run of the game, as the player meets them: the title,
// the instructions, then play; the frame clock that times play; and the mouse,
// in field units, routed to the screens, the ship or a restart. The game on
// every platform and the replay checker drive the same rules with the same
// clock readings and mouse events, so a recording plays out alike in each.
class GameRules {
public:
    // The mouse as the rules number it: GLUT's numbers, which recordings keep.
    static constexpr int kLeftButton = 0;
    static constexpr int kWheelUp = 3;
    static constexpr int kWheelDown = 4;
    static constexpr int kPressed = 0;
    static constexpr int kReleased = 1;

    // What a button event did, for the game to show.
    enum class Outcome { Nothing, ScreenAdvanced, PlayBegan };

    explicit GameRules(World& world);

    const World& world() const { return world_; }

    // A run starts on the title, its frame clock at the reading taken so far.
    void start();
    // One frame at the clock reading taken for it: play moves the world on by
    // the frame's time. The first frame also sets the world out.
    void frame();
    // The frame's time in seconds: at most kLongestFrameSeconds, possibly 0.
    double delta() const { return delta_; }
    // The last frame's time was cut short: a stall (a dragged window, a slow
    // disk) never becomes one huge step.
    bool stalled() const { return stalled_; }

    void setPointer(float x, float y);
    float pointerX() const { return pointerX_; }
    float pointerY() const { return pointerY_; }
    // A button pressed or released at the pointer. Once a game is over, a left
    // press asks for the next one, from half a second after its end showed.
    Outcome applyButton(int button, int state);

private:
    void tick();
    Outcome advanceScreen();
    bool spentOnRestart(int button, int state);
    void routeButton(bool leftPressed);

    World& world_;
    std::int32_t lastTimeMs_ = 0;
    double delta_ = 0.0;
    bool stalled_ = false;
    bool playedLastFrame_ = false;
    bool worldBegun_ = false;
    float pointerX_ = 0.0f;
    float pointerY_ = 0.0f;
    // The left button went down to restart a finished game and is not up yet.
    bool restartClickHeld_ = false;
};

// The rules of the game this program plays, on its world.
GameRules& getGameRules();
