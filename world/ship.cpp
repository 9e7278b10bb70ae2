#include "world/ship.h"

#include "math/numeric.h"
#include "world/landmarks.h"
#include "world/sound_sink.h"

namespace {

constexpr float kSize = 4.0f;
constexpr float kInitialSpinRate = 1.0f;
constexpr float kNearDistance = 1.0f;
constexpr float kArrivalDistance = 2.0f;
constexpr float kSpinUpPerSecond = 50.0f;
constexpr float kRestSpinPerSecond = 50.0f;
constexpr float kSpinDecayPerSecond = 10.0f;
constexpr float kWreckSpinFactor = 50.0f;

} // namespace

Ship::Ship()
    : x_(kShipStart.x), y_(kShipStart.y), size_(kSize), radius_(kSize / 2.0f),
      spinRate_(kInitialSpinRate) {}

void Ship::update(float dt) {
    takeControl();
    move(dt);
    if (hasArrived()) {
        moveState_ = MoveState::Idle;
        moving_ = false;
    }
    spin(dt);
    computePolarAngle(x_, y_);
}

void Ship::setButtonHeld(bool held) {
    buttonHeld_ = held;
    pressPending_ = pressPending_ || held;
}

void Ship::restAt(float x, float y) {
    x_ = x;
    y_ = y;
    setTarget(x, y);
    velocityX_ = 0.0f;
    velocityY_ = 0.0f;
    buttonHeld_ = false;
    pressPending_ = false;
    moveState_ = MoveState::Idle;
    moving_ = false;
}

// Re-evaluated on every update while the button is held, so a hold on the ship
// asks for the whir each time and a hold beside it keeps the ship creeping.
void Ship::takeControl() {
    const bool pressed = buttonHeld_ || pressPending_;
    pressPending_ = false;
    if (!pressed) {
        return;
    }
    if (isNear(targetX_, targetY_)) {
        playSound(Accelerate);
        moveState_ = MoveState::SpinUp;
    } else {
        moveState_ = MoveState::Travelling;
    }
}

void Ship::move(float dt) {
    if (moveState_ == MoveState::Travelling) {
        aim();
        x_ += dt * velocityX_;
        y_ += dt * velocityY_;
        moving_ = true;
    } else if (moveState_ == MoveState::SpinUp) {
        moving_ = false;
        spinRate_ += kSpinUpPerSecond * dt; // per update held, not per second
        moveState_ = MoveState::Idle;
    }
}

void Ship::spin(float dt) {
    if (kRestSpinPerSecond * dt < spinRate_) {
        spinRate_ -= kSpinDecayPerSecond * dt;
    }
    rotation_ += spinRate_;
    if (dead_) {
        rotation_ += kWreckSpinFactor * spinRate_;
    }
}

bool Ship::isNear(float px, float py) const {
    return distanceBetween(x_, y_, px, py) <= kNearDistance;
}

bool Ship::hasArrived() const {
    return distanceBetween(x_, y_, targetX_, targetY_) <= kArrivalDistance;
}

// The velocity is the whole remaining offset: each update covers the fraction dt of it.
void Ship::aim() {
    velocityX_ = targetX_ - x_;
    velocityY_ = targetY_ - y_;
}

void Ship::computePolarAngle(float px, float py) {
    polarAngle_ = polarAngleAbout(px, py, kSystemCentre.x, kSystemCentre.y);
}

bool Ship::hitsPlanet(float px, float py, float planetRadius, float planetPolarAngle) const {
    const float shipDistance = distanceBetween(x_, y_, kSystemCentre.x, kSystemCentre.y);
    const float planetDistance = distanceBetween(px, py, kSystemCentre.x, kSystemCentre.y);
    const float reach = planetRadius + radius_;
    return floatAbs(shipDistance - planetDistance) < reach &&
           floatAbs(polarAngle_ - planetPolarAngle) < reach;
}
