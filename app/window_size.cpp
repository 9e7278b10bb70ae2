#include "app/window_size.h"

#include "app/camera.h"
#include "app/monitor.h"

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

// The usual place, unless the window would then reach past the room's end.
int placeWithin(int usual, int roomStart, int roomLength, int length) {
    return std::max(roomStart, std::min(usual, roomStart + roomLength - length));
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

WindowPlacement placeWindow(const WindowSize& wanted, const Monitor& monitor, int usualX,
                            int usualY) {
    if (monitor.width == 0 || monitor.height == 0) {
        return WindowPlacement{wanted, usualX, usualY};
    }
    const FrameExtents& frame = monitor.frame;
    const int frameWidth = frame.left + frame.right;
    const int frameHeight = frame.top + frame.bottom;
    const int roomWidth = monitor.width - frameWidth;
    const int roomHeight = monitor.height - frameHeight;
    const WindowSize size = fitsWithin(wanted, roomWidth, roomHeight)
                                ? wanted
                                : largestFieldWithin(roomWidth, roomHeight);
    return WindowPlacement{
        size, placeWithin(usualX, monitor.x, monitor.width, size.width + frameWidth),
        placeWithin(usualY, monitor.y, monitor.height, size.height + frameHeight)};
}
