#include "world/debris.h"

#include "math/numeric.h"
#include "render/sprite_list.h"
#include "render/texture_manager.h"
#include "world/landmarks.h"

#include <GL/gl.h>

namespace {

constexpr float kHomeZ = 0.0f;
constexpr float kFreshSize = 0.7f;
constexpr float kReturnedSize = 1.0f;
constexpr float kCaptureDistance = 3.0f;
constexpr float kDegreesPerSecondAtUnitSpin = 100.0f;
constexpr float kInitialSpinRate = 1.0f;
constexpr int kNotTested = -1;
constexpr int kInRange = 1;
constexpr const char* kImage = "./images/Debris.tga";

} // namespace

Debris::Debris() {
    restoreDefaults(kFreshSize);
}

void Debris::reset() {
    restoreDefaults(kReturnedSize);
}

// The picture and its list are kept: a reset debris is drawn as before.
void Debris::restoreDefaults(float size) {
    x_ = kSystemCentre.x;
    y_ = kSystemCentre.y;
    z_ = kHomeZ;
    size_ = size;
    angle_ = 0.0f;
    red_ = 1.0f;
    green_ = 1.0f;
    blue_ = 1.0f;
    attracted_ = kNotTested;
    spinRate_ = kInitialSpinRate;
    targetX_ = x_;
    targetY_ = y_;
    captured_ = false;
    attractRange_ = 0.0f;
}

void Debris::load() {
    texture_ = loadTexture(kImage, false, false);
    displayList_ = newSpriteList();
}

void Debris::update(float dt) {
    if (attracted_ == kInRange && !hasReachedTarget()) {
        approachTarget(dt);
    }
    angle_ += kDegreesPerSecondAtUnitSpin * spinRate_ * dt;
}

// Closes the fraction dt of the remaining offset.
void Debris::approachTarget(float dt) {
    x_ += dt * (targetX_ - x_);
    y_ += dt * (targetY_ - y_);
}

bool Debris::hasReachedTarget() {
    if (distanceBetween(x_, y_, targetX_, targetY_) <= kCaptureDistance) {
        captured_ = true;
        return true;
    }
    return false;
}

bool Debris::checkInRange(float px, float py) const {
    return distanceBetween(x_, y_, px, py) <= attractRange_;
}

void Debris::draw() {
    beginSpriteDrawing();
    glPushMatrix();
    glColor4f(red_, green_, blue_, 1.0f);
    if (hasReachedTarget()) {
        // Turned about the ship: a debris beside it circles it.
        glTranslatef(targetX_, targetY_, 0.0f);
        glRotatef(angle_, 0.0f, 0.0f, 1.0f);
        glTranslatef(-targetX_, -targetY_, 0.0f);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture_));
    drawSpriteList(displayList_, x_, y_, z_, size_, 0.0f);
    glPopMatrix();
    endSpriteDrawing();
}
