#include "platform/desktop/game_window.h"

#include "app/camera.h"
#include "app/options.h"
#include "app/version.h"
#include "platform/desktop/fixed_size_window.h"
#include "platform/desktop/monitor.h"
#include "platform/desktop/vertical_sync.h"
#include "platform/desktop/window_placement.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <thread>

namespace {

constexpr int kWindowX = 100;
constexpr int kWindowY = 100;
constexpr const char* kWindowTitle = "Vantorel";
constexpr int kSwapEveryRefresh = 1;
constexpr int kSwapAtOnce = 0;

// Said when the window is smaller than the player asked for.
void sayWindowShrunk(const WindowSize& wanted, const WindowPlacement& placed,
                     const Monitor& monitor) {
    const FrameExtents& frame = monitor.frame;
    const bool framed = frame.left + frame.right + frame.top + frame.bottom > 0;
    std::fprintf(stderr,
                 "%s: a %d by %d window does not fit the screen's %d by %d%s; "
                 "the window is %d by %d\n",
                 kProgramName, wanted.width, wanted.height, monitor.width, monitor.height,
                 framed ? " with the window manager's frame round it" : "", placed.size.width,
                 placed.size.height);
}

} // namespace

void GameWindow::open(const Options& options) {
    // The display GLUT opens the window on, which -display may name.
    const Monitor monitor = monitorAt(options.displayName, kWindowX, kWindowY);
    const WindowSize wanted = windowSizeAtScale(options.scale);
    const WindowPlacement placed = placeWindow(wanted, monitor, kWindowX, kWindowY);
    if (placed.size.width != wanted.width) {
        sayWindowShrunk(wanted, placed, monitor);
    }
    size_ = placed.size;
    x_ = placed.x;
    y_ = placed.y;
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
