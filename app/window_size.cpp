#include "app/window_size.h"

#include "app/camera.h"

#include <algorithm>
#include <cmath>

namespace {

// A 4:3 size is a whole number of these 4 by 3 steps.
constexpr int kStepWidth = 4;
constexpr int kStepHeight = 3;
constexpr int kStepsAtScaleOne = Camera::kWindowWidth / kStepWidth;
static_assert(Camera::kWindowHeight == kStepHeight * kStepsAtScaleOne, "the window is 4:3");

WindowSize ofSteps(int steps) {
    return WindowSize{kStepWidth * steps, kStepHeight * steps};
}

} // namespace

WindowSize windowSizeAtScale(double scale) {
    const double wanted = scale > 0.0 ? scale : 1.0;
    return ofSteps(static_cast<int>(std::lround(static_cast<double>(kStepsAtScaleOne) * wanted)));
}

WindowSize largestFieldWithin(int width, int height) {
    return ofSteps(std::max(0, std::min(width / kStepWidth, height / kStepHeight)));
}

bool fitsWithin(const WindowSize& size, int width, int height) {
    return size.width <= width && size.height <= height;
}
