#pragma once

#include <cstdint>

// The spine of the program: fixed OpenGL state, loading, the frame clock and
// the frame itself.
class Game {
public:
    Game();

    // Sets the fixed state and loads what the title needs; the first frame
    // drawn, or a call of finishLoading, loads everything else.
    bool init();
    void finishLoading();
    void tick();
    double delta() const { return delta_; }
    void update(double dt);
    void drawFrame();
    // Draws the screen again as it stands, advancing nothing: a replay's window
    // shown again between its recorded frames.
    void redrawFrame();

private:
    void drawScreen();
    void drawMenuFrame();
    void drawPlayFrame();

    std::int32_t lastTimeMs_;
    std::int32_t nowMs_ = 0;
    double delta_ = 0.0;
    bool playedLastFrame_ = false;
};

Game& getGame();
