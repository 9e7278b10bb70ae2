#include "support/body_drawing.h"

#include "render/world_painter.h"
#include "world/planet.h"
#include "world/ship.h"
#include "world/sun.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace {

// Loaded with the pictures of the folder the first drawing is made from.
const WorldPainter& painter() {
    static WorldPainter* const loaded = [] {
        auto* const painter = new WorldPainter();
        painter->load();
        return painter;
    }();
    return *loaded;
}

} // namespace

void drawBody(const Sun& sun) {
    painter().drawSun(sun);
}

void drawBody(const Ship& ship) {
    painter().drawShip(ship);
}

void drawBody(const Planet& planet) {
    painter().drawPlanet(planet);
}

WindowPixel windowPixelOf(float x, float y) {
    const WindowPoint point = projectToWindow(x, y);
    return WindowPixel{static_cast<int>(std::floor(point.x)),
                       static_cast<int>(std::floor(point.y))};
}

void clearToBlack() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
}

bool spriteStateOff() {
    return glIsEnabled(GL_TEXTURE_2D) == GL_FALSE && glIsEnabled(GL_BLEND) == GL_FALSE &&
           glIsEnabled(GL_ALPHA_TEST) == GL_FALSE;
}

WithoutPictures::WithoutPictures() {
    char buffer[4096];
    if (!getcwd(buffer, sizeof buffer)) {
        throw std::runtime_error("cannot read the working folder");
    }
    previousFolder_ = buffer;
    char pattern[] = "/tmp/vantorel-no-pictures-XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0) {
        throw std::runtime_error("cannot enter an empty folder");
    }
    emptyFolder_ = pattern;
}

WithoutPictures::~WithoutPictures() {
    if (chdir(previousFolder_.c_str()) == 0) {
        rmdir(emptyFolder_.c_str());
    }
}
