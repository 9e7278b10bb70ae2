#include "platform/desktop/game_window.h"

#include "app/camera.h"
#include "app/options.h"
#include "app/version.h"
#include "platform/desktop/fixed_size_window.h"
#include "platform/desktop/monitor.h"
#include "platform/desktop/vertical_sync.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace {

constexpr int kWindowX = 100;
constexpr int kWindowY = 100;
constexpr const char* kWindowTitle = "Vantorel";
constexpr int kSwapEveryRefresh = 1;
constexpr int kSwapAtOnce = 0;

WindowSize fittedWindowSize(double scale, const Monitor& monitor) {
    const WindowSize wanted = windowSizeAtScale(scale);
    if (monitor.height == 0 || fitsWithin(wanted, monitor.width, monitor.height)) {
        return wanted;
    }
    const WindowSize fitted = largestFieldWithin(monitor.width, monitor.height);
    std::fprintf(stderr,
                 "%s: a %d by %d window does not fit the screen's %d by %d; "
                 "the window is %d by %d\n",
                 kProgramName, wanted.width, wanted.height, monitor.width, monitor.height,
                 fitted.width, fitted.height);
    return fitted;
}

// The usual place, unless the window would then reach past the screen's edge.
int placeWithin(int usual, int roomStart, int roomLength, int length) {
    if (roomLength == 0) {
        return usual;
    }
    return std::max(roomStart, std::min(usual, roomStart + roomLength - length));
}

} // namespace

void GameWindow::open(const Options& options) {
    const Monitor monitor = monitorAt(kWindowX, kWindowY);
    size_ = fittedWindowSize(options.scale, monitor);
    x_ = placeWithin(kWindowX, monitor.x, monitor.width, size_.width);
    y_ = placeWithin(kWindowY, monitor.y, monitor.height, size_.height);
    glutInitWindowSize(size_.width, size_.height);
    glutCreateWindow(kWindowTitle);
    fullScreen_ = options.fullscreen;
    if (fullScreen_) {
        // Without a window manager GLUT leaves a full screen window one pixel off
        // the corner, its last row and column off the screen. The normal window
        // is placed on leaving full screen.
        getCamera().takeAnyWindowSize();
        glutFullScreen();
        glutPositionWindow(0, 0);
    } else {
        glutPositionWindow(x_, y_);
        getCamera().keepWindowSize(size_);
        keepWindowAtFixedSize(size_.width, size_.height);
    }
    const bool unpaced = options.maxFps == Options::kUnpaced;
    requestSwapInterval(unpaced ? kSwapAtOnce : kSwapEveryRefresh);
    pacer_ = FramePacer(pacedFramesPerSecond(options.maxFps, monitor.refreshHz));
}

void GameWindow::leaveFullScreen() {
    if (!fullScreen_) {
        return;
    }
    fullScreen_ = false;
    glutLeaveFullScreen();
    glutPositionWindow(x_, y_);
    glutReshapeWindow(size_.width, size_.height);
    getCamera().keepWindowSize(size_);
    keepWindowAtFixedSize(size_.width, size_.height);
}

void GameWindow::waitForNextFrame() {
    std::this_thread::sleep_until(pacer_.nextFrameAt(FramePacer::Clock::now()));
}

GameWindow& getGameWindow() {
    static GameWindow* const window = new GameWindow();
    return *window;
}
