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

struct Monitor;

// A window's size and where the corner of its frame goes, in screen pixels.
struct WindowPlacement {
    WindowSize size;
    int x = 0;
    int y = 0;
};

// `wanted`, or the largest 4:3 size that fits the monitor's room with the
// frame round it; the frame's corner at (usualX, usualY) unless the frame
// would then reach past the room's edge. A monitor of no size leaves both as
// they are.
WindowPlacement placeWindow(const WindowSize& wanted, const Monitor& monitor, int usualX,
                            int usualY);
