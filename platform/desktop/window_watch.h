#pragma once

#include <memory>

struct _XDisplay; // Xlib's Display; its macros stay out of the game's headers

// Notices the game's window being destroyed rather than closed (with no
// window manager, or `xdotool windowclose`), which GLUT does not report: the
// game would otherwise run on without a window. Listens over a connection of
// its own, so that GLUT's events stay GLUT's.
class WindowWatch {
public:
    // Starts watching the current GLUT window; needs its context current.
    void watchCurrentWindow();
    // Whether the window has gone since; never blocks.
    bool windowDestroyed();

private:
    std::unique_ptr<_XDisplay, int (*)(_XDisplay*)> display_{nullptr, nullptr};
    unsigned long window_ = 0;
    bool destroyed_ = false;
};
