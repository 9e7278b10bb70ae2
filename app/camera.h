#pragma once

// The fixed perspective camera: it looks down -z at the play field on z = 0,
// which exactly fills the 1024 by 768 window.
class Camera {
public:
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
    double viewY_ = -37.5;
    double viewZ_ = -37.5;
};

Camera& getCamera();
