#include "platform/desktop/fixed_size_window.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

void keepWindowAtFixedSize(int width, int height) {
    Display* const display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (!display || window == None) {
        return;
    }
    XSizeHints* const hints = XAllocSizeHints();
    if (!hints) {
        return;
    }
    long supplied = 0;
    XGetWMNormalHints(display, window, hints, &supplied); // keep GLUT's own hints
    hints->flags |= PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
    XFlush(display);
}
