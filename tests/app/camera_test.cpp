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
