#pragma once

#include "render/window_picture.h"

#include <cstdint>

// The three full-view pictures (backdrop, title, instructions) and the play
// field rectangle in world units.
class ScreenSet {
public:
    // Builds the three lists; one already built is left as it is.
    void load();
    // Builds the title's list alone, so that the first frame can show early.
    void loadTitle();
    // Deletes the title's and the instructions' lists and pictures, which play
    // never shows; loading again would build them afresh.
    void releaseMenus();
    void setBounds(double top, double right, double bottom, double left);
    // Loads the backdrop afresh when the viewport has changed its size.
    void drawBackdrop();
    void drawTitle() const;
    void drawInstructions() const;

    double left() const { return left_; }
    double right() const { return right_; }
    double bottom() const { return bottom_; }
    double top() const { return top_; }

private:
    void loadBackdrop();
    void drawOverField(std::int32_t list) const;
    void drawOpaque(std::int32_t list) const;

    double left_ = 0.0;
    double right_ = 0.0;
    double bottom_ = 0.0;
    double top_ = 0.0;
    std::int32_t backgroundList_ = -1;
    std::int32_t titleList_ = -1;
    std::int32_t instructionsList_ = -1;
    int titleTexture_ = -1;
    int instructionsTexture_ = -1;
    bool backdropOpaque_ = false;
    WindowPicture windowBackdrop_;
};

ScreenSet& getScreenSet();
