#pragma once

#include <string>

class Font;

// The planet counter drawn over the play field, and under the end picture the
// line of the player's records; it owns the game's one font.
class Hud {
public:
    // Renders the font's glyphs; font failures propagate as std::runtime_error.
    void loadFont();
    void setPlanetsFormed(int count);
    // The line shown centred under the end picture; empty for none.
    void setRecordLine(const std::string& line) { recordLine_ = line; }
    // Draws the counter (and the record line) over the play field, on top of
    // the camera's modelview.
    void draw() const;

    float planetCount() const { return planetCount_; }
    const std::string& recordLine() const { return recordLine_; }

private:
    void drawCounter() const;
    void drawRecordLine() const;

    float planetCount_ = 0.0f;
    std::string recordLine_;
};

Hud& getHud();
Font& getHudFont();
