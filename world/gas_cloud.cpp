#include "world/gas_cloud.h"

#include "math/numeric.h"
#include "world/landmarks.h"

namespace {

constexpr float kSize = 10.0f;
constexpr float kDegreesPerSecond = 40.0f;
constexpr float kContactDistance = 1.0f;

} // namespace

GasCloud::GasCloud()
    : x_(kSystemCentre.x), y_(kSystemCentre.y), size_(kSize), radius_(kSize / 2.0f) {}

void GasCloud::update(float dt) {
    rotationStep_ = kDegreesPerSecond * dt;
    rotation_ += rotationStep_;
}

bool GasCloud::contains(float px, float py) const {
    return distanceBetween(px, py, x_, y_) <= kContactDistance;
}
