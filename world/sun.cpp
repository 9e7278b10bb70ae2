#include "world/sun.h"

#include "clock/elapsed_time.h"
#include "math/numeric.h"
#include "render/sprite_list.h"
#include "render/texture_manager.h"
#include "world/landmarks.h"

#include <GL/gl.h>

namespace {

constexpr float kCentreZ = 0.0f;
constexpr float kSize = 8.0f;
constexpr int kStepIntervalMs = 500;
// A double added to the float opacities: ten steps down leave alpha a hair below
// 0, which is what makes a whole cycle 22 steps.
constexpr double kFadeStep = 0.1;
constexpr const char* kImage = "./images/sun.tga";
constexpr const char* kGlowImage = "./images/sun2.tga";

} // namespace

Sun::Sun()
    : x_(kSystemCentre.x), y_(kSystemCentre.y), z_(kCentreZ), size_(kSize), radius_(kSize / 2.0f),
      alpha_(1.0f), glowAlpha_(0.0f) {}

void Sun::load() {
    texture_ = loadTexture(kImage, false, false);
    displayList_ = newSpriteList();
    glowTexture_ = loadTexture(kGlowImage, false, false);
    lastStepTime_ = elapsedMilliseconds();
}

void Sun::update(float) {
    const int now = elapsedMilliseconds();
    if (now - lastStepTime_ <= kStepIntervalMs) {
        return;
    }
    stepCrossFade();
    lastStepTime_ = now;
}

// Only the first layer's opacity decides the turns; a turn changes no opacity.
void Sun::stepCrossFade() {
    if (brightening_) {
        if (alpha_ < 1.0f) {
            alpha_ = static_cast<float>(alpha_ + kFadeStep);
            glowAlpha_ = static_cast<float>(glowAlpha_ - kFadeStep);
        } else {
            brightening_ = false;
        }
    } else if (alpha_ > 0.0f) {
        alpha_ = static_cast<float>(alpha_ - kFadeStep);
        glowAlpha_ = static_cast<float>(glowAlpha_ + kFadeStep);
    } else {
        brightening_ = true;
    }
}

bool Sun::contains(float px, float py, float reach) const {
    return distanceBetween(px, py, x_, y_) <= reach + radius_;
}

void Sun::draw() const {
    beginSpriteDrawing();
    drawLayer(texture_, alpha_);
    drawLayer(glowTexture_, glowAlpha_);
    endSpriteDrawing();
}

// Opacities a hair outside [0, 1] are clamped by OpenGL when the colour is set.
void Sun::drawLayer(int texture, float alpha) const {
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    drawSpriteList(displayList_, x_, y_, z_, size_, 0.0f);
}
