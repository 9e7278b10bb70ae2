#pragma once

// The spine of the program: fixed OpenGL state, loading, and the frame: the
// game's rules run it, then it is drawn.
class Game {
public:
    // Sets the fixed state and loads what the title needs; the first frame
    // drawn, or a call of finishLoading, loads everything else.
    bool init();
    void finishLoading();
    // Runs the frame's rules and draws it.
    void drawFrame();
    // Runs the frame's rules alone: a replay that has fallen behind its
    // recording catches up without drawing every frame.
    void runFrame();
    // Draws the screen again as it stands, advancing nothing: a replay's window
    // shown again between its recorded frames.
    void redrawFrame();

private:
    void drawScreen();
    void drawMenuFrame();
    void drawPlayFrame();
};

Game& getGame();
