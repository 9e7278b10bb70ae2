#include "app/camera.h"

#include "math/numeric.h"

#include <GL/glu.h>
#include <GL/glut.h>
#include <cmath>

namespace {

constexpr double kNearPlane = 0.001;
constexpr double kFarPlane = 200.0;
// The field is always drawn 4:3, whatever the window's size.
constexpr double kFieldAspect =
    static_cast<double>(Camera::kWindowWidth) / static_cast<double>(Camera::kWindowHeight);

Camera::FieldArea centredField(int windowWidth, int windowHeight) {
    const WindowSize size = largestFieldWithin(windowWidth, windowHeight);
    return Camera::FieldArea{(windowWidth - size.width) / 2, (windowHeight - size.height) / 2,
                             size.width, size.height};
}

} // namespace

void Camera::keepWindowSize(const WindowSize& size) {
    keptSize_ = size;
    takesAnySize_ = false;
}

void Camera::takeAnyWindowSize() {
    takesAnySize_ = true;
}

void Camera::reshape(int w, int h) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!takesAnySize_ && (w != keptSize_.width || h != keptSize_.height)) {
        // The window size is fixed; GLUT reports the restored size in a further reshape.
        glutReshapeWindow(keptSize_.width, keptSize_.height);
        return;
    }
    width_ = w;
    height_ = h;
    field_ = centredField(w, h);
    // OpenGL counts the viewport's rows from the bottom of the window.
    glViewport(field_.x, h - field_.y - field_.height, field_.width, field_.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovY_, kFieldAspect, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    apply();
}

void Camera::apply() const {
    glLoadIdentity();
    glTranslatef(static_cast<float>(viewX_), static_cast<float>(viewY_),
                 static_cast<float>(viewZ_));
}

void Camera::paintBars() const {
    if (field_.width == width_ && field_.height == height_) {
        return; // the field fills the window
    }
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    const int right = field_.x + field_.width;
    const int bottom = field_.y + field_.height;
    clearBar(0, 0, field_.x, height_);
    clearBar(right, 0, width_ - right, height_);
    clearBar(0, 0, width_, field_.y);
    clearBar(0, bottom, width_, height_ - bottom);
    glPopAttrib();
}

void Camera::clearBar(int x, int y, int width, int height) const {
    if (width <= 0 || height <= 0) {
        return;
    }
    glScissor(x, height_ - y - height, width, height);
    glClear(GL_COLOR_BUFFER_BIT);
}

double Camera::halfHeight() const {
    const float halfFov = static_cast<float>(fovY_) / 2.0f;
    return static_cast<double>(std::tan(toRadians(halfFov))) * std::fabs(viewZ_);
}

Camera& getCamera() {
    static Camera* const camera = new Camera();
    return *camera;
}
