#include "app/vertical_sync.h"

#include "support/gl_context.h"

#include <GL/glx.h>

TEST(VerticalSync, FindsWholeExtensionNamesOnly) {
    const char* const list = "GLX_EXT_swap_control_tear GLX_MESA_swap_control GLX_SGI_video_sync";
    EXPECT_TRUE(listsExtension(list, "GLX_MESA_swap_control"));
    EXPECT_TRUE(listsExtension(list, "GLX_SGI_video_sync"));
    EXPECT_FALSE(listsExtension(list, "GLX_EXT_swap_control"));
    EXPECT_FALSE(listsExtension(list, "GLX_SGI_video"));
    EXPECT_FALSE(listsExtension(nullptr, "GLX_EXT_swap_control"));
}

using VerticalSyncOnScreen = GlTest;

// Where the driver lists neither extension (Xvfb) the request must say it failed,
// although glXGetProcAddress hands out an address for any name.
TEST_F(VerticalSyncOnScreen, SetsTheSwapIntervalWhereTheDriverOffersIt) {
    Display* const display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    const char* const extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    const bool reported = listsExtension(extensions, "GLX_EXT_swap_control");
    const bool offered = reported || listsExtension(extensions, "GLX_MESA_swap_control");
    for (const unsigned int interval : {1u, 0u}) {
        EXPECT_EQ(requestSwapInterval(static_cast<int>(interval)), offered);
        if (reported) {
            unsigned int now = 99;
            glXQueryDrawable(display, drawable, GLX_SWAP_INTERVAL_EXT, &now);
            EXPECT_EQ(now, interval);
        }
    }
}
