#pragma once

class Font;

// The planet counter drawn over the play field; it owns the game's one font.
class Hud {
public:
    // Renders the font's glyphs; font failures propagate as std::runtime_error.
    void loadFont();
    void setPlanetsFormed(int count);
    // Draws the counter over the play field, on top of the camera's modelview.
    void draw() const;

    float planetCount() const { return planetCount_; }

private:
    float planetCount_ = 0.0f;
};

Hud& getHud();
Font& getHudFont();
