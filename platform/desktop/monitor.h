#pragma once

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
};

// The monitor that holds the point (x, y) of the default screen, or the whole
// screen where XRandR cannot tell. Asks over a short connection of its own:
// GLUT does not share its connection before a window exists.
Monitor monitorAt(int x, int y);

// Pictures per second of a video mode from its timings; 0 when they are unknown.
double refreshRateOfMode(unsigned long dotClock, unsigned int hTotal, unsigned int vTotal,
                         unsigned long modeFlags);
