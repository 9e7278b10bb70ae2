#include "app/camera.h"

#include "math/numeric.h"

#include <GL/glu.h>
#include <GL/glut.h>
#include <cmath>

namespace {

constexpr double kNearPlane = 0.001;
constexpr double kFarPlane = 200.0;

} // namespace

void Camera::reshape(int w, int h) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (w != kWindowWidth || h != kWindowHeight) {
        // The window size is fixed; GLUT reports the restored size in a further reshape.
        glutReshapeWindow(kWindowWidth, kWindowHeight);
        return;
    }
    width_ = w;
    height_ = h;
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovY_, static_cast<double>(w) / static_cast<double>(h), kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    apply();
}

void Camera::apply() const {
    glLoadIdentity();
    glTranslatef(static_cast<float>(viewX_), static_cast<float>(viewY_),
                 static_cast<float>(viewZ_));
}

double Camera::halfHeight() const {
    const float halfFov = static_cast<float>(fovY_) / 2.0f;
    return static_cast<double>(std::tan(toRadians(halfFov))) * std::fabs(viewZ_);
}

Camera& getCamera() {
    static Camera* const camera = new Camera();
    return *camera;
}
