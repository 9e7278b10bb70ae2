#pragma once

// Checks shared by the tests that draw one body on the test window.

struct WindowPixel {
    int x;
    int y;
};

// Where the world point (x, y, 0) lands in the window under the current matrices.
WindowPixel windowPixelOf(float x, float y);

// Bodies without their pictures draw white; a black clear makes them show.
void clearToBlack();

// Every body leaves texturing, blending and the alpha test off, as it found them.
bool spriteStateOff();
