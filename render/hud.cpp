#include "render/hud.h"

// Stand-in until text lands: the count is kept but not drawn.

void Hud::loadFont() {}

void Hud::setPlanetsFormed(int count) {
    planetCount_ = static_cast<float>(count);
}

void Hud::draw() const {}

Hud& getHud() {
    static Hud* const hud = new Hud();
    return *hud;
}
