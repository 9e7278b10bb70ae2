#pragma once

#include "child_process.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// The real vantorel binary started under the test's X display (Xvfb), found
// with xdotool and driven with it; screenshots are read back from the window.
class RunningGame {
public:
    // A press held this long reaches the game over a few frames: one released
    // within a single frame would never move the ship.
    static constexpr std::chrono::milliseconds kPressHold{150};

    struct Options {
        std::string workingDirectory = VANTOREL_DATA_DIR;
        std::string binary = VANTOREL_BINARY;
        // Given to the game after its name.
        std::vector<std::string> arguments;
        // Set for the game alone, as in {"XDG_DATA_HOME", folder}.
        std::vector<std::pair<std::string, std::string>> environment;
        // A file its standard error is added to; the test's own when empty.
        std::string errors;
    };

    struct Screenshot {
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> rgb;
        const std::uint8_t* at(int x, int y) const { return &rgb[3 * (y * width + x)]; }
    };

    struct Geometry {
        int width = 0;
        int height = 0;
    };

    // Where the window lies on the screen, its frame's sides round it.
    struct Placement {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        int frameLeft = 0;
        int frameRight = 0;
        int frameTop = 0;
        int frameBottom = 0;
    };

    explicit RunningGame(const Options& options);
    RunningGame();
    ~RunningGame();
    RunningGame(const RunningGame&) = delete;
    RunningGame& operator=(const RunningGame&) = delete;

    bool hasWindow() const { return window_ != 0; }
    // The X window's id, for tools that act on it.
    unsigned long window() const { return window_; }
    std::string title() const;
    Geometry geometry() const;
    Placement placement() const;
    void resize(int width, int height) const;
    // Resizes the window and returns every size the window took until it settles.
    std::vector<Geometry> sizesAfterResize(int width, int height) const;
    // Every size the window took while `change` ran and until it settled.
    std::vector<Geometry> sizesWhile(const std::function<void()>& change) const;
    void moveMouse(int x, int y) const;
    void click(int x, int y, int button = 1) const;
    // A press and a release of their own, so that frames can pass in between.
    void press(int x, int y, int button = 1) const;
    void release(int button = 1) const;
    // A left press at (x, y) held for `held`, then released.
    void hold(int x, int y, std::chrono::milliseconds held = kPressHold) const;
    Screenshot screenshot() const;
    // Asks the window to close, as a window manager's close button does.
    void close() const;
    // Destroys the window outright, as a program other than the game may.
    void destroyWindow() const;
    // Sends the game `signal`, and goes on at once.
    void signal(int signal) const;
    bool stillRunning() const;
    // Whether the game ends within `longest`, and with status 0.
    bool endsWellWithin(std::chrono::milliseconds longest) const;

private:
    ChildProcess game_;
    unsigned long window_ = 0;
    struct _XDisplay* display_ = nullptr; // Xlib's Display; its macros stay out of the tests
};

// Runs a shell command and returns what it printed on standard output.
std::string commandOutput(const std::string& command);
