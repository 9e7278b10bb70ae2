#include "platform/desktop/window_placement.h"

#include "platform/desktop/monitor.h"

#include <algorithm>

namespace {

// The usual place, unless the window would then reach past the room's end.
int placeWithin(int usual, int roomStart, int roomLength, int length) {
    return std::max(roomStart, std::min(usual, roomStart + roomLength - length));
}

} // namespace

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
