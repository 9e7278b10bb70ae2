#include "platform/desktop/vertical_sync.h"

#include <GL/glx.h>

namespace {

bool viaExtSwapControl(Display* display, GLXDrawable drawable, int interval) {
    const auto swapInterval = reinterpret_cast<PFNGLXSWAPINTERVALEXTPROC>(
        glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
    if (!swapInterval) {
        return false;
    }
    swapInterval(display, drawable, interval);
    return true;
}

bool viaMesaSwapControl(int interval) {
    const auto swapInterval = reinterpret_cast<PFNGLXSWAPINTERVALMESAPROC>(
        glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
    return swapInterval && swapInterval(static_cast<unsigned int>(interval)) == 0;
}

} // namespace

bool requestSwapInterval(int interval) {
    Display* const display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || drawable == None) {
        return false;
    }
    const char* const extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    if (listsExtension(extensions, "GLX_EXT_swap_control") &&
        viaExtSwapControl(display, drawable, interval)) {
        return true;
    }
    return listsExtension(extensions, "GLX_MESA_swap_control") && viaMesaSwapControl(interval);
}
