#include "platform/desktop/window_watch.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace {

unsigned long watchedWindow = 0;
XErrorHandler xlibHandler = nullptr;

// A frame drawn into a window that has just been destroyed fails with an X
// error, which Xlib's own handler answers by ending the program at once: for
// the watched window such an error only says what DestroyNotify will.
int onXError(Display* display, XErrorEvent* error) {
    const bool windowGone = error->error_code == BadWindow || error->error_code == BadDrawable;
    if (windowGone && watchedWindow != 0 && error->resourceid == watchedWindow) {
        return 0;
    }
    return xlibHandler ? xlibHandler(display, error) : 0;
}

} // namespace

void WindowWatch::watchCurrentWindow() {
    Display* const glutDisplay = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (!glutDisplay || window == None) {
        return;
    }
    display_ = {XOpenDisplay(DisplayString(glutDisplay)), XCloseDisplay};
    if (!display_) {
        return;
    }
    window_ = window;
    XSelectInput(display_.get(), window_, StructureNotifyMask);
    XSync(display_.get(), False);
    watchedWindow = window_;
    xlibHandler = XSetErrorHandler(onXError);
}

bool WindowWatch::windowDestroyed() {
    if (!display_ || destroyed_) {
        return destroyed_;
    }
    // Of what comes (moves, maps, sizes: GLUT's business) only the end counts.
    while (!destroyed_ && XPending(display_.get()) > 0) {
        XEvent event{};
        XNextEvent(display_.get(), &event);
        destroyed_ = event.type == DestroyNotify && event.xdestroywindow.window == window_;
    }
    return destroyed_;
}
