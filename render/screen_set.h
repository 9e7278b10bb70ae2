#pragma once

#include <cstdint>

// The three full-view pictures (backdrop, title, instructions) and the play
// field rectangle in world units.
class ScreenSet {
public:
    void load();
    void setBounds(double top, double right, double bottom, double left);
    void drawBackdrop() const;
    void drawTitle() const;
    void drawInstructions() const;

    double left() const { return left_; }
    double right() const { return right_; }
    double bottom() const { return bottom_; }
    double top() const { return top_; }

private:
    void drawOverField(std::int32_t list) const;
    void drawOpaque(std::int32_t list) const;

    double left_ = 0.0;
    double right_ = 0.0;
    double bottom_ = 0.0;
    double top_ = 0.0;
    std::int32_t backgroundList_ = -1;
    std::int32_t titleList_ = -1;
    std::int32_t instructionsList_ = -1;
};

ScreenSet& getScreenSet();
