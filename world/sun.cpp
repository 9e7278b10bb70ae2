#include "world/sun.h"

#include "clock/elapsed_time.h"
#include "math/numeric.h"
#include "world/landmarks.h"

namespace {

constexpr float kSize = 8.0f;
constexpr int kStepIntervalMs = 500;
// A double added to the float opacities: ten steps down leave alpha a hair below
// 0, which is what makes a whole cycle 22 steps.
constexpr double kFadeStep = 0.1;

} // namespace

Sun::Sun()
    : x_(kSystemCentre.x), y_(kSystemCentre.y), size_(kSize), radius_(kSize / 2.0f), alpha_(1.0f),
      glowAlpha_(0.0f) {}

void Sun::start() {
    lastStepTime_ = elapsedMilliseconds();
}

void Sun::update(float) {
    const int now = elapsedMilliseconds();
    if (millisecondsBetween(lastStepTime_, now) <= kStepIntervalMs) {
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
