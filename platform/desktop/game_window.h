#pragma once

#include "app/window_size.h"
#include "platform/desktop/frame_pacer.h"

struct Options;

// The one GLUT window: as large as the player asked and the screen allows, or
// full screen, and the pace of play on the screen it opens on.
class GameWindow {
public:
    // Opens the window, after glutInit and glutInitDisplayMode. When the screen
    // is smaller than the window asked for, the window is the largest that fits,
    // and one line on stderr says so.
    void open(const Options& options);
    // Full screen gives way to the normal window; otherwise nothing happens.
    void leaveFullScreen();
    // Sleeps until the next frame of play is due.
    void waitForNextFrame();

    bool fullScreen() const { return fullScreen_; }
    // The normal window's size, which it keeps.
    const WindowSize& size() const { return size_; }

private:
    WindowSize size_;
    int x_ = 0;
    int y_ = 0;
    bool fullScreen_ = false;
    FramePacer pacer_;
};

GameWindow& getGameWindow();
