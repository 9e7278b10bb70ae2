#pragma once

#include <string>

// What a window manager draws round a window (borders, the title bar), in pixels.
struct FrameExtents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// The monitor a window opens on, as XRandR and the window manager describe it.
struct Monitor {
    // Room for a window in pixels of the screen: the monitor less the panels the
    // window manager keeps clear of windows; 0 by 0 when there is no display.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // Pictures per second it shows; 0 when unknown (Xvfb reports no timings).
    double refreshHz = 0.0;
    // The frame the window manager would put round the game's window; none
    // without a manager, or one that does not say.
    FrameExtents frame;
};

// The monitor that holds the point (x, y) of the default screen of
// `displayName` (empty for $DISPLAY, as GLUT does), or the whole screen where
// XRandR cannot tell. Asks over a short connection of its own: GLUT does not
// share its connection before a window exists.
Monitor monitorAt(const std::string& displayName, int x, int y);

// Pictures per second of a video mode from its timings; 0 when they are unknown.
double refreshRateOfMode(unsigned long dotClock, unsigned int hTotal, unsigned int vTotal,
                         unsigned long modeFlags);
