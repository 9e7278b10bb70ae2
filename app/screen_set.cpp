#include "app/screen_set.h"

// Stand-in until the pictures land: bounds only, nothing drawn.

void ScreenSet::load() {}

void ScreenSet::setBounds(double top, double right, double bottom, double left) {
    top_ = top;
    right_ = right;
    bottom_ = bottom;
    left_ = left;
}

void ScreenSet::drawBackdrop() const {}
void ScreenSet::drawTitle() const {}
void ScreenSet::drawInstructions() const {}

ScreenSet& getScreenSet() {
    static ScreenSet* const screens = new ScreenSet();
    return *screens;
}
