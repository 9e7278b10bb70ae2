#pragma once

#include "support/gl_context.h"

#include <string>

class Planet;
class Ship;
class Sun;

// Checks shared by the tests that draw one body on the test window.

// Draws one body as play draws it: the one place where the tests that look at a
// drawn body reach its drawing.
void drawBody(const Sun& sun);
void drawBody(const Ship& ship);
void drawBody(const Planet& planet);

struct WindowPixel {
    int x;
    int y;
};

// Where the world point (x, y, 0) lands in the window under the current matrices.
WindowPixel windowPixelOf(float x, float y);

// Runs a test from an empty folder, so the bodies it loads find no pictures and
// draw as plain squares in their colour: their geometry shows exactly.
class WithoutPictures {
public:
    WithoutPictures();
    ~WithoutPictures();
    WithoutPictures(const WithoutPictures&) = delete;
    WithoutPictures& operator=(const WithoutPictures&) = delete;

private:
    std::string previousFolder_;
    std::string emptyFolder_;
};

// Bodies without their pictures draw white; a black clear makes them show.
void clearToBlack();

// Every body leaves texturing, blending and the alpha test off, as it found them.
bool spriteStateOff();

// A real OpenGL context for tests that draw bodies without their pictures.
class BodyOnScreen : public GlTest {
private:
    const WithoutPictures withoutPictures_;
};
