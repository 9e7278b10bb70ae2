#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

// Where the world point (x, y, 0) lands in the window under the current
// matrices, in window coordinates with y up.
struct WindowPoint {
    double x;
    double y;
};
WindowPoint projectToWindow(double x, double y);

// A real OpenGL context: one GLUT window of 1024 by 768 per test binary, opened
// on first use (tests run under Xvfb). Each test starts with the camera's
// projection and view, a white clear and the game's fixed state.
class GlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;

    // RGBA of a pixel of the back buffer, window coordinates with y up.
    static std::array<std::uint8_t, 4> pixelAt(int x, int y);
    static float depthAt(int x, int y);
    static int modelviewStackDepth();
};
