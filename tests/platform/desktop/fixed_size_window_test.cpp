#include "platform/desktop/fixed_size_window.h"

#include "support/gl_context.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace {

struct SizeHints {
    long supplied = 0;
    std::unique_ptr<XSizeHints, int (*)(void*)> hints{XAllocSizeHints(), XFree};
};

SizeHints currentWindowHints() {
    SizeHints result;
    XGetWMNormalHints(glXGetCurrentDisplay(), glXGetCurrentDrawable(), result.hints.get(),
                      &result.supplied);
    return result;
}

using FixedSizeWindow = GlTest;

} // namespace

TEST_F(FixedSizeWindow, TellsTheWindowManagerItsOnlySize) {
    const long before = currentWindowHints().hints->flags;
    keepWindowAtFixedSize(1024, 768);
    const SizeHints after = currentWindowHints();
    ASSERT_EQ(after.hints->flags & (PMinSize | PMaxSize), PMinSize | PMaxSize);
    EXPECT_EQ(after.hints->min_width, 1024);
    EXPECT_EQ(after.hints->max_width, 1024);
    EXPECT_EQ(after.hints->min_height, 768);
    EXPECT_EQ(after.hints->max_height, 768);
    EXPECT_EQ(after.hints->flags & before, before) << "GLUT's own hints were dropped";
}
