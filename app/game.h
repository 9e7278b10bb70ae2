#pragma once

// The spine of the program: fixed OpenGL state, loading, and the frame: the
// game's rules run it, then it is drawn.
class Game {
public:
    // Sets the fixed state and loads what the title needs; the first frame
    // drawn, or a call of finishLoading, loads everything else.
    bool init();
    void finishLoading();
    void drawFrame();
    // Draws the screen again as it stands, advancing nothing: a replay's window
    // shown again between its recorded frames.
    void redrawFrame();

private:
    void drawScreen();
    void drawMenuFrame();
    void drawPlayFrame();
};

Game& getGame();
