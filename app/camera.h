#pragma once

#include "render/field_bounds.h"

// The fixed perspective camera: it looks down -z at the play field on z = 0,
// which exactly fills the 1024 by 768 window.
class Camera {
public:
    static constexpr int kWindowWidth = 1024;
    static constexpr int kWindowHeight = 768;

    void reshape(int w, int h);
    void apply() const;
    double halfHeight() const;

    int width() const { return width_; }
    int height() const { return height_; }
    double viewX() const { return viewX_; }
    double viewY() const { return viewY_; }

private:
    int width_ = 0;
    int height_ = 0;
    double fovY_ = 90.0;
    double viewX_ = 0.0;
    // The eye looks at the middle of the field from as far away as the field is
    // half high: with a 90 degree field of view it shows the field's full height.
    double viewY_ = -(kFieldBottom + kFieldTop) / 2.0;
    double viewZ_ = -(kFieldTop - kFieldBottom) / 2.0;
};

Camera& getCamera();
