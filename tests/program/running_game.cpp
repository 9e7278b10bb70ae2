#include "running_game.h"

#include "polling.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>

namespace {

// The window manager and the game answer a resize within this.
constexpr std::chrono::milliseconds kSettling{1000};

void runQuietly(const std::string& command) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
        throw std::runtime_error("command failed: " + command);
    }
}

unsigned long channelOf(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1UL) == 0) {
        ++shift;
    }
    const unsigned long value = (pixel & mask) >> shift;
    const unsigned long maximum = mask >> shift;
    return value * 255UL / maximum;
}

// While the window is still being placed part of it may lie off the screen, and
// once the game has ended its window is gone: reading either back fails with an
// X error that must not end the test.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

std::string commandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return output;
    }
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe)) {
        output += buffer.data();
    }
    pclose(pipe);
    return output;
}

RunningGame::RunningGame() : RunningGame(Options{}) {}

namespace {

ChildProcess::Launch launchOf(const RunningGame::Options& options) {
    ChildProcess::Launch launch;
    launch.program = options.binary;
    launch.arguments = {"vantorel"};
    launch.arguments.insert(launch.arguments.end(), options.arguments.begin(),
                            options.arguments.end());
    launch.workingDirectory = options.workingDirectory;
    launch.environment = options.environment;
    launch.errors = options.errors;
    return launch;
}

} // namespace

RunningGame::RunningGame(const Options& options) : game_(launchOf(options)) {
    display_ = XOpenDisplay(nullptr);
    const std::string search = "xdotool search --onlyvisible --name '^Vantorel$' 2>/dev/null";
    waitUntil([&] {
        window_ = std::strtoul(commandOutput(search).c_str(), nullptr, 10);
        return window_ != 0;
    });
}

RunningGame::~RunningGame() {
    if (display_) {
        XCloseDisplay(display_);
    }
}

std::string RunningGame::title() const {
    std::string name = commandOutput("xdotool getwindowname " + std::to_string(window_));
    while (!name.empty() && name.back() == '\n') {
        name.pop_back();
    }
    return name;
}

RunningGame::Geometry RunningGame::geometry() const {
    XWindowAttributes attributes{};
    const XErrorHandler previous = XSetErrorHandler(ignoreXError); // the game may have ended
    XGetWindowAttributes(display_, window_, &attributes);
    XSync(display_, False);
    XSetErrorHandler(previous);
    return Geometry{attributes.width, attributes.height};
}

void RunningGame::resize(int width, int height) const {
    runQuietly("xdotool windowsize " + std::to_string(window_) + " " + std::to_string(width) + " " +
               std::to_string(height));
}

std::vector<RunningGame::Geometry> RunningGame::sizesAfterResize(int width, int height) const {
    return sizesWhile([&] { resize(width, height); });
}

std::vector<RunningGame::Geometry>
RunningGame::sizesWhile(const std::function<void()>& change) const {
    XSelectInput(display_, window_, StructureNotifyMask);
    XSync(display_, True);
    change();
    std::vector<Geometry> sizes;
    watchFor(kSettling, [&] {
        while (XPending(display_) > 0) {
            XEvent event{};
            XNextEvent(display_, &event);
            if (event.type == ConfigureNotify) {
                sizes.push_back(Geometry{event.xconfigure.width, event.xconfigure.height});
            }
        }
    });
    return sizes;
}

void RunningGame::moveMouse(int x, int y) const {
    runQuietly("xdotool mousemove --window " + std::to_string(window_) + " " + std::to_string(x) +
               " " + std::to_string(y));
}

void RunningGame::click(int x, int y, int button) const {
    moveMouse(x, y);
    runQuietly("xdotool click " + std::to_string(button));
}

void RunningGame::press(int x, int y, int button) const {
    moveMouse(x, y);
    runQuietly("xdotool mousedown " + std::to_string(button));
}

void RunningGame::release(int button) const {
    runQuietly("xdotool mouseup " + std::to_string(button));
}

void RunningGame::hold(int x, int y, std::chrono::milliseconds held) const {
    press(x, y);
    std::this_thread::sleep_for(held);
    release();
}

RunningGame::Screenshot RunningGame::screenshot() const {
    XSync(display_, False);
    const Geometry size = geometry();
    Screenshot shot;
    const XErrorHandler previous = XSetErrorHandler(ignoreXError);
    XImage* image = XGetImage(display_, window_, 0, 0, size.width, size.height, AllPlanes, ZPixmap);
    XSync(display_, False);
    XSetErrorHandler(previous);
    if (!image) {
        return shot;
    }
    shot.width = size.width;
    shot.height = size.height;
    shot.rgb.resize(static_cast<std::size_t>(3 * size.width * size.height));
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            std::uint8_t* out = &shot.rgb[3 * (y * size.width + x)];
            out[0] = static_cast<std::uint8_t>(channelOf(pixel, image->red_mask));
            out[1] = static_cast<std::uint8_t>(channelOf(pixel, image->green_mask));
            out[2] = static_cast<std::uint8_t>(channelOf(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return shot;
}

void RunningGame::close() const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window_, False, NoEventMask, &event);
    XFlush(display_);
}

void RunningGame::destroyWindow() const {
    runQuietly("xdotool windowclose " + std::to_string(window_));
}

void RunningGame::signal(int signal) const {
    game_.signal(signal);
}

bool RunningGame::stillRunning() const {
    return game_.running();
}

bool RunningGame::endsWellWithin(std::chrono::milliseconds longest) const {
    if (!waitUntil([&] { return !game_.running(); }, longest)) {
        return false;
    }
    const std::optional<int> status = game_.endStatus();
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

RunningGame::Placement RunningGame::placement() const {
    const Geometry size = geometry();
    Placement placed;
    placed.width = size.width;
    placed.height = size.height;
    Window child = 0;
    const XErrorHandler previous = XSetErrorHandler(ignoreXError);
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), 0, 0, &placed.x,
                          &placed.y, &child);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window_, XInternAtom(display_, "_NET_FRAME_EXTENTS", False), 0, 4,
                       False, XA_CARDINAL, &type, &format, &count, &remaining, &data);
    XSync(display_, False);
    XSetErrorHandler(previous);
    if (data && format == 32 && count == 4) {
        const long* const sides = reinterpret_cast<const long*>(data);
        placed.frameLeft = static_cast<int>(sides[0]);
        placed.frameRight = static_cast<int>(sides[1]);
        placed.frameTop = static_cast<int>(sides[2]);
        placed.frameBottom = static_cast<int>(sides[3]);
    }
    if (data) {
        XFree(data);
    }
    return placed;
}
