#pragma once

// A size in window pixels. The game's sizes are all 4:3, so that the field,
// 100 by 75 units, fills them without stretching.
struct WindowSize {
    int width = 0;
    int height = 0;
};

// The window of `scale` times 1024 by 768 (a scale of 0 is 1), kept 4:3 to the pixel.
WindowSize windowSizeAtScale(double scale);

// The largest 4:3 size within `width` by `height`.
WindowSize largestFieldWithin(int width, int height);

bool fitsWithin(const WindowSize& size, int width, int height);
