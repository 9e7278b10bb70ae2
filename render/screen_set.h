#pragma once

#include "render/window_picture.h"
#include "world/game_screen.h"

#include <cstdint>
#include <string>

// The three full-view pictures (backdrop, title, instructions) and the play
// field rectangle in world units. Only the picture of the screen shown is
// held: each is read when first drawn, in the place of the one before, so the
// menus' pictures are gone once play begins.
class ScreenSet {
public:
    // Reads the title's picture ahead of the first frame.
    void loadTitle();
    void setBounds(double top, double right, double bottom, double left);
    void drawBackdrop();
    void drawTitle();
    void drawInstructions();
    // Whether the picture of `screen` is held.
    bool holds(GameScreen screen) const;

    double left() const { return left_; }
    double right() const { return right_; }
    double bottom() const { return bottom_; }
    double top() const { return top_; }

private:
    int listFor(const char* fileName);
    int stretch(const char* fileName);
    void releaseStretched();
    void drawOverField(std::int32_t list) const;
    void drawOpaque(std::int32_t list) const;

    double left_ = 0.0;
    double right_ = 0.0;
    double bottom_ = 0.0;
    double top_ = 0.0;
    // Kept at the viewport's size when the picture allows it ...
    WindowPicture windowPicture_;
    // ... otherwise the file's own texture is stretched over the field.
    std::string stretchedFile_;
    std::int32_t stretchedList_ = -1;
    int stretchedTexture_ = -1;
    bool stretchedOpaque_ = false;
};

ScreenSet& getScreenSet();
