#include "platform/desktop/monitor.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <X11/Xutil.h>

#include <algorithm>
#include <memory>
#include <poll.h>
#include <vector>

namespace {

struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The _NET_WORKAREA values of one desktop: x, y, width, height.
constexpr std::size_t kWorkAreaValues = 4;
// _NET_FRAME_EXTENTS: left, right, top, bottom.
constexpr std::size_t kFrameSides = 4;
constexpr std::size_t kLongestAtomList = 1024;
constexpr int kProbeSize = 64;
// A manager answers in a few milliseconds; one that says it answers but does
// not must not hold the window up for long.
constexpr int kLongestFrameAnswerMs = 250;
constexpr int kAnswerPollMs = 10;

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

// The values of a property of `window` in 32-bit items, as longs; none when
// it is not set as `type`.
std::vector<long> propertyValues(Display* display, Window window, Atom property, Atom type,
                                 std::size_t longest) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(display, window, property, 0, static_cast<long>(longest), False, type,
                           &actualType, &format, &count, &remaining, &data);
    const std::unique_ptr<unsigned char, int (*)(void*)> owner(data, XFree);
    if (status != Success || format != 32 || actualType != type || !data) {
        return {};
    }
    const long* const values = reinterpret_cast<const long*>(data);
    return std::vector<long>(values, values + count);
}

// Where the window manager lets windows go, panels left out; the whole of
// `screen` when it says nothing.
Area workArea(Display* display, const Area& screen) {
    const Atom property = XInternAtom(display, "_NET_WORKAREA", True);
    if (property == None) {
        return screen;
    }
    const std::vector<long> values =
        propertyValues(display, DefaultRootWindow(display), property, XA_CARDINAL, kWorkAreaValues);
    if (values.size() < kWorkAreaValues) {
        return screen;
    }
    return Area{static_cast<int>(values[0]), static_cast<int>(values[1]),
                static_cast<int>(values[2]), static_cast<int>(values[3])};
}

bool managerAnswersFrameRequests(Display* display) {
    const Atom request = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", True);
    const Atom supported = XInternAtom(display, "_NET_SUPPORTED", True);
    if (request == None || supported == None) {
        return false;
    }
    const std::vector<long> atoms =
        propertyValues(display, DefaultRootWindow(display), supported, XA_ATOM, kLongestAtomList);
    return std::find(atoms.begin(), atoms.end(), static_cast<long>(request)) != atoms.end();
}

// Waits, bounded, for the manager to set the property on `window`. The wait
// goes by in polls of the connection, each cut short by whatever comes.
bool propertyArrives(Display* display, Window window, Atom property) {
    XFlush(display);
    for (int waitedMs = 0; waitedMs <= kLongestFrameAnswerMs; waitedMs += kAnswerPollMs) {
        XEvent event{};
        while (XCheckTypedWindowEvent(display, window, PropertyNotify, &event)) {
            if (event.xproperty.atom == property) {
                return true;
            }
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, kAnswerPollMs);
    }
    return false;
}

// A window of one size only, as the game's is: its frame has no grip to resize it.
void keepAtOneSize(Display* display, Window window) {
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = kProbeSize;
    hints.min_height = hints.max_height = kProbeSize;
    XSetWMNormalHints(display, window, &hints);
}

// Asks the manager what frame it would put round a window like the game's,
// before the game's window exists: the fit must leave room for the frame. A
// window of the question's own, never shown, carries the question.
FrameExtents frameExtents(Display* display) {
    if (!managerAnswersFrameRequests(display)) {
        return {};
    }
    const Window root = DefaultRootWindow(display);
    const Window probe = XCreateSimpleWindow(display, root, 0, 0, kProbeSize, kProbeSize, 0, 0, 0);
    keepAtOneSize(display, probe);
    XSelectInput(display, probe, PropertyChangeMask);
    const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = probe;
    request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    request.xclient.format = 32;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
    FrameExtents frame;
    if (propertyArrives(display, probe, extents)) {
        const std::vector<long> sides =
            propertyValues(display, probe, extents, XA_CARDINAL, kFrameSides);
        if (sides.size() == kFrameSides) {
            frame = FrameExtents{static_cast<int>(sides[0]), static_cast<int>(sides[1]),
                                 static_cast<int>(sides[2]), static_cast<int>(sides[3])};
        }
    }
    XDestroyWindow(display, probe);
    return frame;
}

} // namespace

Monitor monitorAt(const std::string& displayName, int x, int y) {
    const DisplayOwner display(XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str()),
                               XCloseDisplay);
    if (!display) {
        return Monitor{};
    }
    const int screen = DefaultScreen(display.get());
    Area area{0, 0, DisplayWidth(display.get(), screen), DisplayHeight(display.get(), screen)};
    double refreshHz = 0.0;
    findMonitorAt(display.get(), x, y, area, refreshHz);
    const Area room = overlap(area, workArea(display.get(), area));
    return Monitor{room.x, room.y, room.width, room.height, refreshHz, frameExtents(display.get())};
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
