#pragma once

#include "child_process.h"

// A real window manager (Openbox) running on the test's X display for the life
// of a test, as on a player's desktop: it frames, moves and resizes windows.
// Only one can manage a display at a time.
class WindowManager {
public:
    WindowManager();
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Whether it took charge of the display.
    bool managing() const { return managing_; }

private:
    ChildProcess openbox_;
    bool managing_ = false;
};
