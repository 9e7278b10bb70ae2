#include "platform/desktop/monitor.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <memory>

namespace {

struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The _NET_WORKAREA values of one desktop: x, y, width, height.
constexpr unsigned long kWorkAreaValues = 4;

using DisplayOwner = std::unique_ptr<Display, int (*)(Display*)>;
using ResourcesOwner = std::unique_ptr<XRRScreenResources, void (*)(XRRScreenResources*)>;
using CrtcOwner = std::unique_ptr<XRRCrtcInfo, void (*)(XRRCrtcInfo*)>;

bool holds(const Area& area, int x, int y) {
    return x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
}

Area overlap(const Area& a, const Area& b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    return Area{left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

double refreshRateOf(const XRRScreenResources& resources, RRMode mode) {
    for (int i = 0; i < resources.nmode; ++i) {
        const XRRModeInfo& info = resources.modes[i];
        if (info.id == mode) {
            return refreshRateOfMode(info.dotClock, info.hTotal, info.vTotal, info.modeFlags);
        }
    }
    return 0.0;
}

// The first lit CRTC (a monitor's picture) that holds the point fills in the monitor.
bool findMonitorAt(Display* display, int x, int y, Area& area, double& refreshHz) {
    int eventBase = 0;
    int errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase)) {
        return false;
    }
    const ResourcesOwner resources(
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display)), XRRFreeScreenResources);
    if (!resources) {
        return false;
    }
    for (int i = 0; i < resources->ncrtc; ++i) {
        const CrtcOwner crtc(XRRGetCrtcInfo(display, resources.get(), resources->crtcs[i]),
                             XRRFreeCrtcInfo);
        if (!crtc || crtc->mode == None) {
            continue;
        }
        const Area lit{crtc->x, crtc->y, static_cast<int>(crtc->width),
                       static_cast<int>(crtc->height)};
        if (holds(lit, x, y)) {
            area = lit;
            refreshHz = refreshRateOf(*resources, crtc->mode);
            return true;
        }
    }
    return false;
}

// Where the window manager lets windows go, panels left out; the whole of
// `screen` when it says nothing.
Area workArea(Display* display, const Area& screen) {
    const Atom property = XInternAtom(display, "_NET_WORKAREA", True);
    if (property == None) {
        return screen;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(display, DefaultRootWindow(display), property, 0, kWorkAreaValues, False,
                           XA_CARDINAL, &type, &format, &count, &remaining, &data);
    const std::unique_ptr<unsigned char, int (*)(void*)> owner(data, XFree);
    if (status != Success || format != 32 || count < kWorkAreaValues) {
        return screen;
    }
    const long* const values = reinterpret_cast<const long*>(data);
    return Area{static_cast<int>(values[0]), static_cast<int>(values[1]),
                static_cast<int>(values[2]), static_cast<int>(values[3])};
}

} // namespace

Monitor monitorAt(int x, int y) {
    const DisplayOwner display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display) {
        return Monitor{};
    }
    const int screen = DefaultScreen(display.get());
    Area area{0, 0, DisplayWidth(display.get(), screen), DisplayHeight(display.get(), screen)};
    double refreshHz = 0.0;
    findMonitorAt(display.get(), x, y, area, refreshHz);
    const Area room = overlap(area, workArea(display.get(), area));
    return Monitor{room.x, room.y, room.width, room.height, refreshHz};
}

double refreshRateOfMode(unsigned long dotClock, unsigned int hTotal, unsigned int vTotal,
                         unsigned long modeFlags) {
    double lines = vTotal;
    if (modeFlags & RR_DoubleScan) {
        lines *= 2.0; // every line is drawn twice
    }
    if (modeFlags & RR_Interlace) {
        lines /= 2.0; // each picture is half the lines
    }
    if (dotClock == 0 || hTotal == 0 || lines <= 0.0) {
        return 0.0;
    }
    return static_cast<double>(dotClock) / (hTotal * lines);
}
