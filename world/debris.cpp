#include "world/debris.h"

#include "math/numeric.h"
#include "world/landmarks.h"

namespace {

constexpr float kFreshSize = 0.7f;
constexpr float kReturnedSize = 1.0f;
constexpr float kCaptureDistance = 3.0f;
constexpr float kDegreesPerSecondAtUnitSpin = 100.0f;
constexpr float kInitialSpinRate = 1.0f;
constexpr int kNotTested = -1;
constexpr int kInRange = 1;

} // namespace

Debris::Debris() {
    restoreDefaults(kFreshSize);
}

void Debris::reset() {
    restoreDefaults(kReturnedSize);
}

void Debris::restoreDefaults(float size) {
    x_ = kSystemCentre.x;
    y_ = kSystemCentre.y;
    size_ = size;
    angle_ = 0.0f;
    attracted_ = kNotTested;
    spinRate_ = kInitialSpinRate;
    targetX_ = x_;
    targetY_ = y_;
    captured_ = false;
    attractRange_ = 0.0f;
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
    if (withinReachOfTarget()) {
        captured_ = true;
        return true;
    }
    return false;
}

bool Debris::withinReachOfTarget() const {
    return distanceBetween(x_, y_, targetX_, targetY_) <= kCaptureDistance;
}

bool Debris::checkInRange(float px, float py) const {
    return distanceBetween(x_, y_, px, py) <= attractRange_;
}
