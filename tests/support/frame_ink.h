#pragma once

#include <cstdint>
#include <vector>

// The whole back buffer read back once, and where something was drawn on it.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba; // rows bottom-up, as OpenGL reads them

    const std::uint8_t* at(int x, int y) const { return &rgba[4 * (y * width + x)]; }
};

// The smallest rectangle holding every pixel whose colour differs from the
// clear colour; window coordinates with y up, bounds inclusive.
struct InkBox {
    bool any = false;
    int left = 0;
    int right = 0;
    int bottom = 0;
    int top = 0;
};

Frame readFrame();
InkBox inkBoxOf(const Frame& frame, std::uint8_t clearRed, std::uint8_t clearGreen,
                std::uint8_t clearBlue);
