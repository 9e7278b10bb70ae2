#include "app/camera.h"

#include "support/gl_context.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

TEST(Camera, StartsWithoutASize) {
    const Camera camera;
    EXPECT_EQ(camera.width(), 0);
    EXPECT_EQ(camera.height(), 0);
}

TEST(Camera, HalfHeightCoversThePlayField) {
    const Camera camera;
    EXPECT_NEAR(camera.halfHeight(), 37.5, 1e-5);
    EXPECT_EQ(camera.viewX(), 0.0);
    EXPECT_EQ(camera.viewY(), -37.5);
}

using CameraOnScreen = GlTest;

TEST_F(CameraOnScreen, ShowsExactlyThePlayField) {
    Camera camera;
    camera.reshape(1024, 768);
    camera.apply();
    const WindowPoint topLeft = projectToWindow(-50.0, 75.0);
    const WindowPoint bottomRight = projectToWindow(50.0, 0.0);
    const WindowPoint centre = projectToWindow(0.0, 37.5);
    EXPECT_NEAR(topLeft.x, 0.0, 0.01);
    EXPECT_NEAR(topLeft.y, 768.0, 0.01);
    EXPECT_NEAR(bottomRight.x, 1024.0, 0.01);
    EXPECT_NEAR(bottomRight.y, 0.0, 0.01);
    EXPECT_NEAR(centre.x, 512.0, 0.01);
    EXPECT_NEAR(centre.y, 384.0, 0.01);
    EXPECT_EQ(camera.width(), 1024);
    EXPECT_EQ(camera.height(), 768);
}

TEST_F(CameraOnScreen, RefusesAnyOtherSize) {
    Camera camera;
    camera.reshape(1024, 768);
    camera.reshape(800, 600);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(camera.width(), 1024);
    EXPECT_EQ(camera.height(), 768);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
}

TEST_F(CameraOnScreen, DrawsTheFieldAsLargeAsTheWindowAllowsCentred) {
    struct Case {
        bool fullScreen;
        int width, height;
        double left, bottom, right, top; // the field's corners in window pixels, y up
    };
    const Case cases[] = {
        {false, 1536, 1152, 0.0, 0.0, 1536.0, 1152.0},
        {true, 1280, 1024, 0.0, 32.0, 1280.0, 992.0},
        {true, 1920, 1080, 240.0, 0.0, 1680.0, 1080.0},
    };
    for (const Case& c : cases) {
        Camera camera;
        if (c.fullScreen) {
            camera.takeAnyWindowSize();
        } else {
            camera.keepWindowSize(WindowSize{c.width, c.height});
        }
        camera.reshape(c.width, c.height);
        camera.reshape(c.width / 2, c.height / 2); // refused unless full screen
        camera.reshape(c.width, c.height);
        camera.apply();
        const WindowPoint bottomLeft = projectToWindow(-50.0, 0.0);
        const WindowPoint topRight = projectToWindow(50.0, 75.0);
        EXPECT_NEAR(bottomLeft.x, c.left, 0.01) << c.width << " by " << c.height;
        EXPECT_NEAR(bottomLeft.y, c.bottom, 0.01) << c.width << " by " << c.height;
        EXPECT_NEAR(topRight.x, c.right, 0.01) << c.width << " by " << c.height;
        EXPECT_NEAR(topRight.y, c.top, 0.01) << c.width << " by " << c.height;
    }
}

TEST_F(CameraOnScreen, PaintsTheBarsBesideTheFieldBlack) {
    Camera camera;
    camera.takeAnyWindowSize();
    camera.reshape(1024, 968); // a bar 100 pixels high under the field, at the window's bottom
    glClear(GL_COLOR_BUFFER_BIT);
    camera.paintBars();
    EXPECT_EQ(pixelAt(10, 99)[0], 0);
    EXPECT_EQ(pixelAt(10, 100)[0], 255);
    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    EXPECT_EQ(clearColour[0], 1.0f) << "the game's white clear is kept";
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}
