#pragma once

#include "app/window_size.h"
#include "world/field_bounds.h"

// The fixed perspective camera: it looks down -z at the play field on z = 0,
// which exactly fills the window, 1024 by 768 unless the player asked for
// another size. Full screen, the field is drawn as large as fits, centred.
class Camera {
public:
    static constexpr int kWindowWidth = 1024;
    static constexpr int kWindowHeight = 768;

    // Where the field is drawn, in window pixels from the top left corner.
    struct FieldArea {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    // The window keeps this size: a reshape to any other asks for it back.
    void keepWindowSize(const WindowSize& size);
    // Any size is taken (full screen), with black bars beside the field.
    void takeAnyWindowSize();

    void reshape(int w, int h);
    void apply() const;
    // Paints the window's bars beside the field black, over whatever a clear left there.
    void paintBars() const;
    double halfHeight() const;

    int width() const { return width_; }
    int height() const { return height_; }
    const FieldArea& field() const { return field_; }
    double viewX() const { return viewX_; }
    double viewY() const { return viewY_; }

private:
    void clearBar(int x, int y, int width, int height) const;

    int width_ = 0;
    int height_ = 0;
    double fovY_ = 90.0;
    double viewX_ = 0.0;
    // The eye looks at the middle of the field from as far away as the field is
    // half high: with a 90 degree field of view it shows the field's full height.
    double viewY_ = -(kFieldBottom + kFieldTop) / 2.0;
    double viewZ_ = -(kFieldTop - kFieldBottom) / 2.0;
    WindowSize keptSize_{kWindowWidth, kWindowHeight};
    bool takesAnySize_ = false;
    FieldArea field_;
};

Camera& getCamera();
