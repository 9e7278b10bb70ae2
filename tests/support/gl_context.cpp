#include "support/gl_context.h"

#include "app/camera.h"

#include <GL/glu.h>
#include <GL/glut.h>
#include <X11/Xlib.h>

#include <chrono>
#include <thread>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// freeglut ends the process when it cannot reach the display, and an X server
// that is busy between clients can refuse one now and then: wait until it answers.
void waitForDisplay() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) {
            XCloseDisplay(display);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void openWindowOnce() {
    static bool open = false;
    if (open) {
        return;
    }
    open = true;
    waitForDisplay();
    int argc = 1;
    char name[] = "vantorel_tests";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(kWidth, kHeight);
    glutCreateWindow("vantorel tests");
}

} // namespace

void GlTest::SetUpTestSuite() {
    openWindowOnce();
}

void GlTest::SetUp() {
    openWindowOnce();
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    getCamera().reshape(kWidth, kHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::array<std::uint8_t, 4> GlTest::pixelAt(int x, int y) {
    std::array<std::uint8_t, 4> rgba{};
    glFinish();
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

float GlTest::depthAt(int x, int y) {
    float depth = 0.0f;
    glFinish();
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth;
}

int GlTest::modelviewStackDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

WindowPoint projectToWindow(double x, double y) {
    GLdouble modelview[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    WindowPoint point{};
    GLdouble z = 0.0;
    gluProject(x, y, 0.0, modelview, projection, viewport, &point.x, &point.y, &z);
    return point;
}
