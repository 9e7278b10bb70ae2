#include "world/planet.h"

#include "clock/elapsed_time.h"
#include "math/numeric.h"
#include "world/landmarks.h"

namespace {

constexpr float kInitialSize = 3.0f;
constexpr int kFormationMs = 2000;
constexpr float kFormingSpinPerSecond = 500.0f;
constexpr float kSpinsPerOrbit = 6.0f;
constexpr float kFullTurn = 360.0f;
constexpr float kAngularSlack = 1.0f;
constexpr float kTintLow = 0.1f;
constexpr float kTintHigh = 1.0f;

struct OrbitBand {
    float sizeBelow;
    float degreesPerSecond;
};

// Smaller planets orbit faster; sizes of 9 and above take the slowest speed.
constexpr OrbitBand kOrbitBands[] = {
    {5.0f, 80.0f}, {6.0f, 70.0f}, {7.0f, 60.0f}, {8.0f, 50.0f}, {9.0f, 40.0f}};
constexpr float kSlowestOrbit = 30.0f;

float orbitSpeed(float size) {
    for (const OrbitBand& band : kOrbitBands) {
        if (size < band.sizeBelow) {
            return band.degreesPerSecond;
        }
    }
    return kSlowestOrbit;
}

} // namespace

Planet::Planet()
    : x_(kSystemCentre.x), y_(kSystemCentre.y), size_(kInitialSize), radius_(kInitialSize / 2.0f) {}

void Planet::computePolarAngle(float px, float py) {
    polarAngle_ = polarAngleAbout(px, py, kSystemCentre.x, kSystemCentre.y);
}

void Planet::setSize(float s) {
    size_ = s;
    radius_ = s / 2.0f;
}

void Planet::form() {
    formedAt_ = elapsedMilliseconds();
    red_ = randomRange(kTintLow, kTintHigh);
    green_ = randomRange(kTintLow, kTintHigh);
    blue_ = randomRange(kTintLow, kTintHigh);
}

void Planet::update(float dt) {
    radius_ = size_ / 2.0f;
    const int age = millisecondsBetween(formedAt_, elapsedMilliseconds());
    if (age > kFormationMs) {
        formed_ = true;
    } else {
        spin_ += kFormingSpinPerSecond * dt;
    }
    advanceOrbit(dt);
}

void Planet::advanceOrbit(float dt) {
    orbitStep_ = dt * orbitSpeed(size_);
    orbitAngle_ += orbitStep_;
    if (formed_) {
        spin_ = kSpinsPerOrbit * orbitAngle_;
    }
    polarAngle_ += orbitStep_;
    if (polarAngle_ >= kFullTurn) {
        polarAngle_ = 0.0f; // the excess is dropped: the polar angle lags the drawn position
    }
}

bool Planet::touches(float px, float py, float reach, float otherPolarAngle) const {
    const float ownDistance = distanceBetween(x_, y_, kSystemCentre.x, kSystemCentre.y);
    const float otherDistance = distanceBetween(px, py, kSystemCentre.x, kSystemCentre.y);
    const float t = reach + radius_;
    return floatAbs(ownDistance - otherDistance) < t &&
           t - kAngularSlack > floatAbs(polarAngle_ - otherPolarAngle);
}

float Planet::randomFloat(float x) const {
    return ::randomFloat(x);
}

float Planet::randomRange(float a, float b) const {
    return a + randomFloat(b - a);
}
