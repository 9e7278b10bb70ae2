#pragma once

#include "app/window_size.h"

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
