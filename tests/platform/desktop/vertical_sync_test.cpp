#include "platform/desktop/vertical_sync.h"

#include "support/gl_context.h"

#include <GL/glx.h>

using VerticalSync = GlTest;

// glXGetProcAddress hands out an address for any name, so only the extension
// list can tell whether the request was heard (Xvfb lists neither extension).
TEST_F(VerticalSync, SetsTheSwapIntervalOnlyWhereTheDriverOffersIt) {
    EXPECT_FALSE(
        listsExtension("GLX_EXT_swap_control_tear GLX_SGI_video_sync", "GLX_EXT_swap_control"));
    Display* const display = glXGetCurrentDisplay();
    const char* const extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    const bool reported = listsExtension(extensions, "GLX_EXT_swap_control");
    const bool offered = reported || listsExtension(extensions, "GLX_MESA_swap_control");
    for (const unsigned int interval : {1u, 0u}) {
        EXPECT_EQ(requestSwapInterval(static_cast<int>(interval)), offered);
        unsigned int now = interval;
        if (reported) {
            glXQueryDrawable(display, glXGetCurrentDrawable(), GLX_SWAP_INTERVAL_EXT, &now);
        }
        EXPECT_EQ(now, interval);
    }
}
